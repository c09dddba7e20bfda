// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/generalsettingsview.h"

#include "library/settings.h"
#include "settings/radiopicker.h"
#include "settings/settingsbinding.h"
#include "settings/settingsform.h"

#include <QLabel>

namespace {

QStringList sidebarIconSizeOptions()
{
    QStringList options;
    for (SidebarIconSize size : allCases<SidebarIconSize>())
        options.append(sizeOptionText(title(size), pointSize(size)));
    return options;
}

QStringList exportFormatOptions()
{
    QStringList options;
    for (DragAndDropIconFormat format : allCases<DragAndDropIconFormat>())
        options.append(title(format));
    return options;
}

} // namespace

GeneralSettingsView::GeneralSettingsView(const Settings &settings, QWidget *parent)
    : QWidget(parent)
    , m_sidebarIconSize(new RadioPicker(sidebarIconSizeOptions()))
    , m_exportFormat(new RadioPicker(exportFormatOptions()))
{
    bind(m_sidebarIconSize->group(), settings.sidebarIconSize());
    bind(m_exportFormat->group(), settings.defaultDragAndDropFormat());

    SettingsForm form(this);
    form.addRow(tr("Sidebar Icon Size"), m_sidebarIconSize, { .topAlignLabel = true });
    form.addSpacer(1.0);
    form.addRow(tr("Export Format"), m_exportFormat, { .topAlignLabel = true });
    form.addControl(makeSecondaryLabel(tr("Choose which format is exported when dragging icons to other apps."), 0.85));
    // Window managers that move windows on Alt-drag never let that drag start.
    form.addControl(makeSecondaryLabel(
        tr("Hold Alt while dragging for the other format.\nWhere Alt-drag moves windows, change it here."), 0.85));
}
