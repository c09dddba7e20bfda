// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <type_traits>
#include <utility>
#include <variant>

// A value or the error that prevented it, returned where the platform would throw.
// The constructors are implicit on purpose, as with std::optional: `return value;` and
// `return ContainerError::missingIconData;` read as what they mean.
template <typename T, typename E> class Result
{
    static_assert(!std::is_same_v<T, E>, "a value and its error must be told apart by type");

public:
    Result(T value) // NOLINT(google-explicit-constructor)
        : m_state(std::in_place_index<0>, std::move(value))
    { }
    Result(E error) // NOLINT(google-explicit-constructor)
        : m_state(std::in_place_index<1>, std::move(error))
    { }

    bool hasValue() const { return m_state.index() == 0; }
    explicit operator bool() const { return hasValue(); }

    // Only when hasValue().
    const T &value() const & { return std::get<0>(m_state); }
    T &value() & { return std::get<0>(m_state); }
    T &&value() && { return std::get<0>(std::move(m_state)); }
    // Only when !hasValue().
    const E &error() const { return std::get<1>(m_state); }

private:
    std::variant<T, E> m_state;
};

// Success or an error, for operations that give nothing back.
template <typename E> class Result<void, E>
{
public:
    Result() = default;
    Result(E error) // NOLINT(google-explicit-constructor)
        : m_error(std::move(error))
    { }

    bool hasValue() const { return !m_error.has_value(); }
    explicit operator bool() const { return hasValue(); }
    // Only when !hasValue().
    const E &error() const { return *m_error; }

private:
    std::optional<E> m_error;
};
