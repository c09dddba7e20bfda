// SPDX-License-Identifier: GPL-3.0-or-later
#include "generatedlibrary.h"

#include "support/icnsbuilder.h"
#include "support/typedstreamwriter.h"

#include "model/containerjson.h"
#include "model/iconcontainer.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QList>
#include <QPair>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

namespace GeneratedLibrary {

QByteArray icns(int variant, bool small)
{
    static const QList<QPair<QByteArray, int>> large { { "icp4", 16 }, { "icp5", 32 }, { "icp6", 64 }, { "ic07", 128 },
        { "ic08", 256 }, { "ic09", 512 }, { "ic10", 1024 }, { "ic11", 32 }, { "ic12", 64 }, { "ic13", 256 },
        { "ic14", 512 } };
    static const QList<QPair<QByteArray, int>> few { { "icp4", 16 }, { "icp5", 32 }, { "ic11", 32 } };
    const auto &elements = small ? few : large;
    const QColor colour = QColor::fromHsv((variant * 37) % 360, 180, 220);
    IcnsBuilder builder;
    for (const auto &[type, side] : elements)
        builder.add(type, IcnsBuilder::png(IcnsBuilder::pattern(side, side, colour)));
    return builder.build();
}

QByteArray png(int variant, bool small)
{
    const int side = small ? 32 : 512;
    return IcnsBuilder::png(IcnsBuilder::pattern(side, side, QColor::fromHsv((variant * 53) % 360, 200, 200)), 144);
}

bool write(const QString &libraryFolder, const Shape &shape)
{
    // Encoding the pictures is the slow part: each is made once.
    QList<QByteArray> icnsFiles, pngFiles;
    for (int i = 0; i < variantCount; ++i) {
        icnsFiles.append(icns(i, shape.smallIcons));
        pngFiles.append(png(i, shape.smallIcons));
    }
    // Zero-padded, so that name order is number order.
    const int digits = std::max(3, int(QString::number(shape.containers - 1).size()));
    for (int c = 0; c < shape.containers; ++c) {
        const QString folder = libraryFolder + u"/Collection %1.ravivovode"_s.arg(c, digits, 10, QChar(u'0'));
        if (!QDir().mkpath(folder))
            return false;
        IconContainer container { .title = u"Collection %1"_s.arg(c), .authorName = u"Ann"_s };
        for (int i = 0; i < shape.iconsPerContainer; ++i) {
            const bool isIcns = i % 3 != 2;
            Icon entry;
            entry.name = u"Icon %1"_s.arg(i);
            entry.type = isIcns ? IconFileType::icns : IconFileType::image;
            entry.author = u"Ann"_s;
            entry.copyright = u"© Ann"_s;
            entry.filename = entry.name + (isIcns ? u".icns"_s : u".png"_s);
            const int variant = (c * shape.iconsPerContainer + i) % variantCount;
            if (!writeFile(folder + u'/' + *entry.filename, isIcns ? icnsFiles.at(variant) : pngFiles.at(variant)))
                return false;
            container.icons.prepend(entry); // the stored order is not the name order
        }
        if (!writeFile(folder + u"/info.json"_s, encodeContainerJson(container).value()))
            return false;
    }
    return true;
}

bool writeLegacyArchive(const QString &path, qint64 bytes)
{
    ArchivedValue::Dictionary icons;
    ArchivedValue::Array order;
    const ArchivedValue typeKey = ts::str("Type"), icnsType = ts::str("IcnsFile"), dataKey = ts::str("IcnsData");
    QList<QByteArray> icnsFiles;
    for (int i = 0; i < variantCount; ++i)
        icnsFiles.append(icns(i, false));
    qint64 size = 0;
    for (int i = 0; size < bytes; ++i) {
        const ArchivedValue name = ts::str(u"Icon %1"_s.arg(i));
        const QByteArray &data = icnsFiles.at(i % variantCount);
        icons.append({ name, ts::dict({ { typeKey, icnsType }, { dataKey, ts::bytes(data) } }) });
        order.prepend(name);
        size += data.size();
    }
    const ArchivedValue root = ts::dict({ { "Icons", ArchivedValue::dictionary(icons) },
        { "IconOrder", ArchivedValue::array(order) }, { "AuthorName", ts::str("Ann") } });
    return writeFile(path, TypedStreamWriter::archive(root));
}

} // namespace GeneratedLibrary
