// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/containererror.h"
#include "model/result.h"

// The result of an operation on a container, failing with one of the library's errors.
template <typename T> using ContainerResult = Result<T, ContainerError>;
