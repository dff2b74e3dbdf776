; The settings window's style: Office 2007, blue.
; Style file of the product's skin component; the format is described in the README
; ("Style files") and in common/SkinStyle.h.
[Style]
Name = Office 2007 (blue)

[Colors]
Window = #DFE9F5
Text = #15428B
ButtonFace = #F8FBFF
ButtonFaceBottom = #D1E1F4
ButtonText = #15428B
ButtonBorder = #8DB2E3
ButtonHot = #FFE9A8
ButtonPressed = #FFC56B

[Font]
; The captions of the boxes keep the window's own typeface, which their places were made for.
Buttons = Tahoma
