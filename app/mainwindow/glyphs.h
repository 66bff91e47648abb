#pragma once

#include <QIcon>

// The speed buttons' pictures, drawn in code: decoding picture files would cost the start more
// than the rest of the toolbar.
enum TGlyph : uint8_t {
    glNewQuery,
    glQueryParams,
    glSaveQuery,
    glDeleteQuery,
    glBuildQuery,
    glQueryPanel,
    glShowSQL,
    glHelp
};

QIcon SpeedGlyph(TGlyph Glyph);
