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

// The check for what keeps Excel from showing the Classic tab (ClassicTabCheck.h): what is wrong
// (%1 the Excel version key or the LoadBehavior, %2 a path or key, %3 and %4 the library's and
// Excel's bits), then what mends it (IDS_MEND_*, %5 the library the repair registers), and the
// page that shows them.
#define IDS_CHECK_DISABLED_ITEMS 400
#define IDS_CHECK_LOAD_BEHAVIOR 401
#define IDS_CHECK_MACHINE_LOAD_BEHAVIOR 402
#define IDS_CHECK_NOT_REGISTERED 403
#define IDS_CHECK_LIBRARY_MISSING 404
#define IDS_CHECK_WRONG_BITNESS 405
#define IDS_CHECK_SHADOWED 406
#define IDS_CHECK_POLICY_CLASSIC_OFF 407
#define IDS_CHECK_POLICY_UNREADABLE 408
#define IDS_CHECK_POLICY_ADDIN_LIST 409
#define IDS_CHECK_POLICY_ALL_ADDINS 410
#define IDS_CHECK_POLICY_SIGNATURE 411
#define IDS_CHECK_CLASSIC_OFF 412
#define IDS_CHECK_NOTHING_FOUND 413
#define IDS_MEND_FORGET_RECORDS 420
#define IDS_MEND_LOAD_AT_STARTUP 421
#define IDS_MEND_REGISTER 422
#define IDS_MEND_REMOVE_USER_REGISTRATION 423
#define IDS_MEND_TURN_CLASSIC_ON 424
#define IDS_MEND_REINSTALL 425
#define IDS_MEND_ADMINISTRATOR 426
#define IDS_TAB_HELP 430
#define IDS_CHECK_BUTTON 431
#define IDS_REPAIR_BUTTON 432
#define IDS_CHECK_INTRO 433
#define IDS_REPAIR_FAILED 434
#define IDS_BOX_TIPS 435
#define IDS_BOX_SEARCH 436
