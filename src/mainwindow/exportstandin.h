// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/iconcontainer.h"
#include "model/optionenums.h"

#include <QDialog>

#include <optional>

// Holds the place of the export options sheet and the icon exporter until they are built: names
// what would be exported and closes.
class ExportStandIn : public QDialog
{
    Q_OBJECT

public:
    ExportStandIn(ExportFormat format, std::optional<IconContainer> container, QWidget *parent);

    ExportFormat format() const { return m_format; }
    const std::optional<IconContainer> &container() const { return m_container; }

private:
    ExportFormat m_format;
    std::optional<IconContainer> m_container;
};
