#pragma once

#include <QByteArray>

namespace vorta::report {

// Rewrites the text records of an enhanced metafile into records the SVG converter draws
// the way GDI draws the text: the background box of opaque text and of ETO_OPAQUE
// rectangles in the background colour, the text placed on its baseline, cell heights
// given as character heights, underline and strike-out as filled bars in the text
// colour. Bytes that are no metafile, or that end early, are left as they are.
void drawTextAsGdi(QByteArray& emf);

} // namespace vorta::report
