#pragma once
// Disabled toolbar buttons drawn flat: the button's disabled picture and its
// caption in one colour. The classic toolbar draws a disabled caption etched,
// grey over a white copy one pixel lower and to the right; on a light
// gradient behind a transparent toolbar that white copy smears the caption.
// Enabled buttons are left to the toolbar.

#include <windows.h>

#include <optional>

// Answers a toolbar's NM_CUSTOMDRAW (which goes to the toolbar's parent):
// asks to see every button and draws the disabled ones itself, captions in
// captionColour. nullopt for any other notification.
std::optional<LRESULT> drawDisabledToolButtonsFlat(const NMHDR& header, COLORREF captionColour);
