// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

struct AuthorInfo
{
    QString authorName {};
    QString authorEmail {};
    QString authorURL {};
    QString copyright {};
};
