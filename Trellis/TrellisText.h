// The ids of Trellis's own texts, shared by Trellis.rc's string tables (TrellisText.rc) and the code.
// A text's %1, %2 ... are filled in by FillIn (LanguageChoice.h), in the order named here.
#pragma once

// The window: tabs, boxes, the policy note, the About page, the buttons. " View" keeps its leading blank.
#define IDS_TAB_EXCEL 100
#define IDS_TAB_ABOUT 101
#define IDS_BOX_CLASSIC 102
#define IDS_BOX_LEFT 103
#define IDS_BOX_ALL 104
#define IDS_BOX_HOME 105
#define IDS_BOX_PAGE_LAYOUT 106
#define IDS_BOX_INSERT 107
#define IDS_BOX_FORMULAS 108
#define IDS_BOX_DATA 109
#define IDS_BOX_REVIEW 110
#define IDS_BOX_VIEW 111
#define IDS_BOX_DEVELOPER 112
#define IDS_BOX_HIDE_BUILT_IN_TABS 113
#define IDS_POLICY_NOTE 114
#define IDS_WEBSITE_LABEL 115
#define IDS_VERSION 116
#define IDS_OK 117
#define IDS_CANCEL 118

// The "Application Error" report: %1 the description, %2 the location (never translated, with its own
// trailing blank), %3 the statement's number, %4 the support address; and the descriptions it carries.
#define IDS_APPLICATION_ERROR_TITLE 128
#define IDS_APPLICATION_ERROR 129
#define IDS_OUT_OF_MEMORY 130
#define IDS_UNKNOWN_ERROR 131
#define IDS_SETTING_NOT_A_NUMBER 132
#define IDS_SETTING_OUT_OF_RANGE 133
#define IDS_WINDOW_NOT_OPENED 134
#define IDS_POINTER_NOT_LOADED 135

// Installing or removing the add-in through regsvr32. IDS_REGISTRATION_FAILURE: %1 the headline
// (IDS_INSTALL_FAILED or IDS_UNINSTALL_INCOMPLETE), %2 the library's path, %3 the reason;
// a reason's %1 is regsvr32's exit code.
#define IDS_INSTALLATION_COMPLETE 143
#define IDS_INSTALL_FAILED 144
#define IDS_UNINSTALL_INCOMPLETE 145
#define IDS_REGISTRATION_FAILURE 146
#define IDS_REGSVR32_NOT_STARTED 147
#define IDS_REGSVR32_TIMED_OUT 148
#define IDS_MACHINE_CLASS_REMAINS 149
#define IDS_REGSVR32_BAD_COMMAND_LINE 150
#define IDS_REGSVR32_NO_COM 151
#define IDS_LIBRARY_MISSING_REINSTALL 152
#define IDS_LIBRARY_NOT_LOADED 153
#define IDS_CANNOT_REGISTER_ITSELF 154
#define IDS_CANNOT_UNREGISTER_ITSELF 155
#define IDS_REGISTRATION_REFUSED 156
#define IDS_UNREGISTRATION_REFUSED 157
#define IDS_REGSVR32_FAILED 158

// An installation for all users that Excel does not load: %1 the library's path, %2 the reason;
// IDS_ASK_ADMINISTRATOR's %1 is the reason the user cannot mend.
#define IDS_MACHINE_WIDE_PROBLEM 160
#define IDS_USER_REPAIR_FAILED 161
#define IDS_LIBRARY_MISSING 162
#define IDS_ENTRY_MISSING 163
#define IDS_ENTRY_NOT_LOADING 164
#define IDS_ASK_ADMINISTRATOR 165
