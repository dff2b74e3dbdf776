// The skin component that a skinnable window hosts: an automation object that loads a style
// file (format in SkinStyle.h) and restyles a window with it.
//
//   dispatch id  name            kind                 meaning
//   2            LoadSkin        method (path, name)  reads the style file; Boolean result, false
//                                                     for a missing or malformed file (no error:
//                                                     a window with a bad style file keeps its
//                                                     own look). `name` picks a style inside the
//                                                     file; our files hold one, and "" means it.
//   1            Options         property, Long       bit 0: restyle the window's controls (their
//                                                     backgrounds, check-box text, push buttons,
//                                                     fonts), not only its own background; the
//                                                     other bits are kept for later use
//   5            UseStyleFont    property, Boolean    the style's typefaces replace the controls';
//                                                     sizes and weights stay
//   10           PaintButtons    property, Boolean    push buttons are drawn in the style's colours
//   3            ApplyWindow     method (Long handle) restyles that window and its controls now;
//                                                     nothing happens when no style is loaded.
//                                                     S_FALSE: a control (one of another
//                                                     thread) kept its own look
//
// The window keeps its own painting: the component sits in front of its window procedures
// (comctl32 subclassing) and adjusts backgrounds, text colours and fonts on their way; push
// buttons are painted through comctl32 6's custom draw. Controls created after ApplyWindow are
// not restyled. Everything lives until the window is destroyed.
#pragma once

#include "WinHandles.h"

namespace cornice {

// The dispatch ids of the table above, in the order ApplySkin calls them.
enum SkinMember : DISPID {
    kSkinLoadStyle = 2,
    kSkinOptions = 1,
    kSkinUseStyleFont = 5,
    kSkinPaintButtons = 10,
    kSkinApplyWindow = 3,
};

ComPtr<IDispatch> CreateSkinComponent();

} // namespace cornice
