// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/viewoptions.h"

#include "library/settings.h"
#include "settings/closeshortcuts.h"
#include "settings/formgridrow.h"
#include "settings/radiopicker.h"
#include "settings/settingsbinding.h"
#include "settings/settingsform.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>
#include <QStyle>
#include <QVBoxLayout>

namespace {

template <typename E> RadioPicker *thumbnailPicker(const SettingsKey<E> &key, const std::array<int, 3> &points)
{
    QStringList options;
    std::size_t position = 0;
    for (E size : allCases<E>())
        options.append(sizeOptionText(title(size), points.at(position++)));
    auto *picker = new RadioPicker(QCoreApplication::translate("ViewOptions", "Thumbnail Size"), options);
    bind(picker->group(), key);
    return picker;
}

QCheckBox *namesToggle(const QString &text, const SettingsKey<bool> &key)
{
    auto *box = new QCheckBox(text);
    bind(box, key);
    return box;
}

void addThumbnailRow(QGridLayout *grid, int row, RadioPicker *picker)
{
    FormGridRow(QCoreApplication::translate("ViewOptions", "Thumbnail Size"), picker,
        { .topAlignLabel = true, .hideViewLabel = true })
        .addTo(grid, row);
}

} // namespace

ViewOptions::ViewOptions(const Settings &settings, QWidget *parent)
    : QWidget(parent, Qt::Tool)
    , m_settings(settings)
{
    setObjectName(QStringLiteral("viewOptionsWindow"));
    setWindowTitle(tr("View Options"));
    addCloseShortcuts(this);
    setFixedWidth(fixedWidth);
    auto *layout = new QVBoxLayout(this);
    layout->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    const SettingsKey<IconViewMode> &mode = settings.iconViewMode();
    connect(mode.notifier(), &SettingsKeyNotifier::changed, this, [this, &mode] {
        if (mode.read() != m_mode || !m_rows)
            showRows(mode.read());
    });
    showRows(mode.read());
}

void ViewOptions::showRows(IconViewMode mode)
{
    m_mode = mode;
    if (m_rows) {
        // Later, in case the change came from inside the rows' own event handling.
        m_rows->hide();
        m_rows->setParent(nullptr);
        m_rows->deleteLater();
    }
    m_rows = new QWidget(this);
    auto *grid = new QGridLayout(m_rows);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setVerticalSpacing(16);

    switch (mode) {
    case IconViewMode::grid: {
        auto *toggle = new QWidget;
        auto *toggleLayout = new QVBoxLayout(toggle);
        toggleLayout->setContentsMargins(0, 0, 0, 0);
        toggleLayout->setSpacing(2);
        QCheckBox *box = namesToggle(tr("Show icon names in grid view"), m_settings.showIconNamesInGrid());
        toggleLayout->addWidget(box);
        QLabel *explanation = makeSecondaryLabel(tr("Icon names are shown for preview size 64 and larger."), 0.92);
        explanation->setWordWrap(true);
        // Under the box's text, not its indicator.
        const int indent = box->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, box)
            + box->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, box);
        explanation->setContentsMargins(indent, 0, 0, 0);
        toggleLayout->addWidget(explanation);
        grid->addWidget(toggle, 0, 0, 1, -1);
        break;
    }
    case IconViewMode::list:
        addThumbnailRow(grid, 0, thumbnailPicker(m_settings.listIconSize(), listPointSizes));
        break;
    case IconViewMode::gallery:
        addThumbnailRow(grid, 0, thumbnailPicker(m_settings.galleryIconSize(), galleryPointSizes));
        grid->addWidget(
            namesToggle(QStringLiteral("Show icon names in gallery view"), m_settings.showIconNamesInGallery()), 1, 0,
            1, -1);
        break;
    }
    // A last, empty column takes the spare width, so the rows stay flush left.
    grid->setColumnStretch(2, 1);
    layout()->addWidget(m_rows);
    // A child added to a shown window stays hidden until shown, and its layout would leave it out.
    m_rows->show();
    fitHeight();
}

void ViewOptions::fitHeight()
{
    // Wrapped text needs the height for the fixed width, which sizeHint() does not know.
    QLayout *outer = layout();
    outer->activate();
    const int height = outer->hasHeightForWidth() ? outer->heightForWidth(fixedWidth) : outer->sizeHint().height();
    setFixedHeight(height);
}
