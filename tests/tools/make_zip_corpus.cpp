// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the seed corpus of fuzz_zip: small archives in both accepted layouts and one of each kind
// the unpacker refuses. Run from the build tree:
//   tests/make_zip_corpus ../../fuzz/corpus/zip

#include "support/corpuswriter.h"
#include "support/zipwriter.h"

using namespace Qt::StringLiterals;

int main(int argc, char **argv)
{
    const QByteArray info = R"({"title":"Space","icons":[]})"_ba;
    const QByteArray png = "\x89PNG\r\n\x1a\nstar"_ba;
    const CorpusSeeds seeds {
        { u"root"_s, ZipWriter().file("info.json", info).file("Star.png", png).build() },
        { u"folder"_s, ZipWriter().folder("Space/").file("Space/info.json", info).file("Space/Star.png", png).build() },
        { u"empty"_s, ZipWriter().build() },
        { u"zeros"_s, ZipWriter().file("zeros", QByteArray(1 << 20, '\0')).build() },
        { u"parent"_s, ZipWriter().file("info.json", info).file("../escaped", "x").build() },
        { u"absolute"_s, ZipWriter().file("/tmp/escaped", "x").build() },
        { u"symlink"_s, ZipWriter().symlink("Space", "..").file("Space/escaped", "x").build() },
        { u"nested"_s, ZipWriter().file("Space/Deeper/Star.png", "x").build() },
        { u"two-folders"_s, ZipWriter().file("Space/info.json", info).file("Other/Star.png", "x").build() },
        { u"hidden"_s, ZipWriter().file(".hidden", "x").build() },
        { u"doubled"_s, ZipWriter().file("info.json", info).file("info.json", info).build() },
        { u"encrypted"_s, ZipWriter().file("info.json", info).encrypted().build() },
        { u"zipped-on-a-mac"_s,
            ZipWriter()
                .folder("Space/")
                .file("Space/info.json", info)
                .file("Space/.DS_Store", "finder")
                .file("__MACOSX/Space/._info.json", "fork")
                .build() },
        { u"subfolder-beside-root"_s,
            ZipWriter().file("Extras/readme.txt", "x").file("info.json", info).file("Star.png", png).build() },
        { u"png-of-zeros"_s, ZipWriter().file("info.json", info).zeros("Star.png", 64 << 10).build() },
        { u"png-then-zeros"_s, ZipWriter().file("info.json", info).zeros("Star.png", 64 << 10, png).build() },
        { u"icns-holding-png"_s, ZipWriter().file("info.json", info).file("Moon.icns", png).build() },
        { u"short-png"_s, ZipWriter().file("info.json", info).file("STAR.PNG", png.left(7)).build() },
    };
    return writeCorpus(argc, argv, seeds, u".zip"_s);
}
