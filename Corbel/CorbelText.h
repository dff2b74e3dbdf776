// The ids of the add-in's own texts, shared by Corbel.rc's string tables (CorbelText.rc) and the code.
// A text's %1 is filled in by FillIn (LanguageChoice.h).
#pragma once

// The About window: %1 of the caption is the application's title, %1 of the version its
// major.minor.revision.
#define IDS_ABOUT_CAPTION 100
#define IDS_ABOUT_VERSION 101
#define IDS_ABOUT_WEBSITE_LABEL 102
#define IDS_ABOUT_OK 103
// %1 is Windows' description of why.
#define IDS_ABOUT_NOT_CREATED 106

// The uninstall entry's message. The path names the shortcuts the installer makes, which keep
// their English names, so it stays English in every language.
#define IDS_UNINSTALL_INSTRUCTIONS 104
#define IDS_UNINSTALL_NOT_SHOWN 105
