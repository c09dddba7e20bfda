// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringView>

// Whether `text` holds a web link anywhere in it: a scheme, "://", optional user information, then a
// host that names a machine: a domain name of at least two labels whose last label is alphabetic
// (or an encoded international one), "localhost", an IPv4 address or a bracketed IPv6 address,
// optionally followed by a port. Text such as "https:/" or "https:///path" holds none.
bool containsLink(QStringView text);
