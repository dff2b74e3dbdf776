#include "CommandLine.h"

#include "ExcelRelease.h"
#include "Utf8.h"

#include <cstdio>
#include <cwchar>

namespace cornice::host {
namespace {

constexpr const wchar_t* kUsage =
    L"usage: excel-host [options]\n"
    L"\n"
    L"Loads the COM add-ins listed for Excel under\n"
    L"HKEY_CURRENT_USER\\Software\\Microsoft\\Office\\Excel\\Addins and the same key of\n"
    L"HKEY_LOCAL_MACHINE (where the user's entry of an add-in wins) as Excel does at start-up:\n"
    L"each one whose LoadBehavior asks for it is created by ProgID and connected\n"
    L"(OnConnection with ext_cm_Startup, OnAddInsUpdate, OnStartupComplete), then asked\n"
    L"for its ribbon with GetCustomUI(\"Microsoft.Excel.Workbook\"); the document must be\n"
    L"well-formed XML. Every window an add-in shows is reported (caption, text, buttons)\n"
    L"and closed. At the end: OnBeginShutdown, OnDisconnection, release, and what the\n"
    L"add-in's DllCanUnloadNow says.\n"
    L"\n"
    L"  --name TEXT        the Application's Name (default \"Microsoft Excel\")\n"
    L"  --release N        play Excel 2007 (12), 2010 (14, the default), 2013 (15) or\n"
    L"                     2016 to 365 (16): Application.Version \"N.0\", and an add-in\n"
    L"                     that Excel N.0's Disabled Items hold is not loaded; and\n"
    L"                     Application.Build: 2007's 6611, 2010's 7015, 2013's 4569, and\n"
    L"                     for 16 a build of Microsoft 365 (17328)\n"
    L"  --build N          Application.Build N instead (16 with 4266: Excel 2016 from MSI)\n"
    L"  --controls FILE    the built-in controls the release knows (one idMso per line,\n"
    L"                     as tests/data/office/excel2013-idmso.txt): every idMso of a\n"
    L"                     ribbon document that is not there is reported, as Excel does\n"
    L"                     with \"Show add-in user interface errors\" on\n"
    L"  --ui-language N    play an Excel whose user interface is in language N (1031\n"
    L"                     German ...): Application.LanguageSettings.LanguageID(2)\n"
    L"  --excel-words FILE that Excel's words (with --ui-language): its CommandBars give\n"
    L"                     the captions and GetLabelMso labels of FILE (as tests/data/\n"
    L"                     excel-words/german.tsv), and its GetSupertipMso texts; without\n"
    L"                     it every question raises\n"
    L"  --ribbon-out FILE  write the ribbon document to FILE: UTF-8, no BOM, no newline\n"
    L"                     added (an empty document gives an empty file)\n"
    L"  --print-ribbon     print the ribbon document\n"
    L"  --outline          print the ribbon as an outline: tabs, groups, menus, callbacks\n"
    L"  --click ID         invoke the onAction callback of the control with id ID, by name\n"
    L"                     through IDispatch, with an IRibbonControl (repeatable, in order)\n"
    L"  --wait             leave the add-in's windows open; end when the user closed them\n"
    L"  --keep-open        leave the add-in's windows open and shut the add-ins down with\n"
    L"                     them open, as Excel does when it closes\n"
    L"  --show-text        print the tabs the add-in adds as a person meets them: the menus\n"
    L"                     of the menu bar with their entries, the toolbar rows' buttons;\n"
    L"                     then each control's supertip, once, where the document gives one\n"
    L"  --show             show those tabs in a window: the menu bar with drop-down menus,\n"
    L"                     the toolbar rows as buttons; the add-in's own entries call it\n"
    L"                     back; a button's supertip shows when the pointer rests on it,\n"
    L"                     a menu entry's in the status line; ends when the window is\n"
    L"                     closed (needs a display)\n"
    L"  --search WORDS     search as a user would: give WORDS to the onChange of each add-in\n"
    L"                     edit box that has one, open the dynamic menu of its group\n"
    L"                     (getContent) and print its entries: label, idMso, (disabled)\n"
    L"                     (repeatable, in order)\n"
    L"  --measure ROUNDS   time GetCustomUI against 13 bare reads of its settings, and the\n"
    L"                     add-in's start: from CoCreateInstance to the first document, and\n"
    L"                     once more from LoadLibrary of its DLL; and count the object-\n"
    L"                     model calls of the first --search\n"
    L"  --help             this text\n"
    L"\n"
    L"Exit codes: 0 all well; 1 excel-host failed; 2 bad arguments; 3 no add-in to load;\n"
    L"4 an add-in failed to load; 5 a ribbon request failed; 6 a ribbon document is not\n"
    L"well-formed XML; 7 a click failed.\n";

int BadArguments(const std::wstring& why)
{
    std::fputs(ToUtf8(L"excel-host: " + why + L"\n" + kUsage).c_str(), stderr);
    return kExitBadArguments;
}

} // namespace

std::optional<int> ReadCommandLine(int argc, wchar_t** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const std::wstring option = argv[i];
        if (option == L"--help" || option == L"-h" || option == L"/?") {
            std::fputs(ToUtf8(kUsage).c_str(), stdout);
            return kExitOk;
        }
        if (option == L"--print-ribbon") { options.printRibbon = true; continue; }
        if (option == L"--outline") { options.outline = true; continue; }
        if (option == L"--wait") { options.wait = true; continue; }
        if (option == L"--keep-open") { options.keepOpen = true; continue; }
        if (option == L"--show-text") { options.showText = true; continue; }
        if (option == L"--show") { options.show = true; continue; }
        if (option != L"--name" && option != L"--ribbon-out" && option != L"--click" && option != L"--measure" &&
            option != L"--release" && option != L"--controls" && option != L"--ui-language" &&
            option != L"--excel-words" && option != L"--build" && option != L"--search")
            return BadArguments(L"unknown argument " + option);
        if (i + 1 == argc) return BadArguments(option + L" needs a value");
        const std::wstring value = argv[++i];
        if (option == L"--name") options.hostName = value;
        else if (option == L"--controls") options.controlList = value;
        else if (option == L"--release") {
            const std::optional<int> release = ParseRelease(value);
            if (!release) return BadArguments(L"--release wants 12, 14, 15 or 16, not " + value);
            options.release = *release;
        }
        else if (option == L"--build") {
            wchar_t* end = nullptr;
            const long build = std::wcstol(value.c_str(), &end, 10);
            if (value.empty() || *end || build < 1 || build > 99999) return BadArguments(L"--build wants a build from 1 to 99999");
            options.build = build;
        }
        else if (option == L"--ribbon-out") options.ribbonOut = value;
        else if (option == L"--click") options.clicks.push_back(value);
        else if (option == L"--excel-words") options.excelWords = value;
        else if (option == L"--search") options.searches.push_back(value);
        else if (option == L"--ui-language") {
            wchar_t* end = nullptr;
            const long language = std::wcstol(value.c_str(), &end, 10);
            if (value.empty() || *end || language < 1 || language > 0xFFFF)
                return BadArguments(L"--ui-language wants a language id from 1 to 65535");
            options.uiLanguage = static_cast<int>(language);
        }
        else {
            wchar_t* end = nullptr;
            const long rounds = std::wcstol(value.c_str(), &end, 10);
            if (value.empty() || *end || rounds < 1 || rounds > 1000000)
                return BadArguments(L"--measure wants a number of rounds from 1 to 1000000");
            options.measureRounds = static_cast<int>(rounds);
        }
    }
    return std::nullopt;
}

} // namespace cornice::host
