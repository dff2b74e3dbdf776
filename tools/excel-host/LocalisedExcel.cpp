#include "LocalisedExcel.h"

#include "Utf8.h"

#include <cstdio>
#include <stdexcept>

namespace cornice::host {

std::optional<ExcelWordsFixture> ReadExcelWords(const std::wstring& path, std::wstring& error)
{
    std::FILE* file = ::_wfopen(path.c_str(), L"rb");
    if (!file) {
        error = L"cannot open " + path;
        return std::nullopt;
    }
    std::string bytes;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) bytes.append(buffer, n);
    std::fclose(file);
    const std::optional<std::wstring> text = FromUtf8(bytes);
    if (!text) {
        error = path + L" is not UTF-8";
        return std::nullopt;
    }

    ExcelWordsFixture words;
    std::size_t lineNumber = 0;
    for (std::size_t start = 0; start < text->size();) {
        std::size_t end = text->find(L'\n', start);
        if (end == std::wstring::npos) end = text->size();
        std::wstring line = text->substr(start, end - start);
        start = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == L'\r') line.pop_back();
        if (line.empty() || line[0] == L'#') continue;
        const std::size_t tab1 = line.find(L'\t');
        const std::size_t tab2 = tab1 == std::wstring::npos ? tab1 : line.find(L'\t', tab1 + 1);
        if (tab2 == std::wstring::npos) {
            error = path + L":" + std::to_wstring(lineNumber) + L": wants kind, key and text, tab-separated";
            return std::nullopt;
        }
        const std::wstring kind = line.substr(0, tab1), key = line.substr(tab1 + 1, tab2 - tab1 - 1);
        const std::wstring said = line.substr(tab2 + 1);
        if (kind == L"caption" && !key.empty() && key.find_first_not_of(L"0123456789") == std::wstring::npos &&
            key.size() < 10)
            words.captions[std::stoi(key)] = said;
        else if (kind == L"label" && !key.empty())
            words.labels[key] = said;
        else if (kind == L"supertip" && !key.empty()) {
            std::wstring& tip = words.supertips[key] = said;
            for (std::size_t at; (at = tip.find(L"\\n")) != std::wstring::npos;) tip.replace(at, 2, L"\n");
        }
        else {
            error = path + L":" + std::to_wstring(lineNumber) + L": unknown kind or key";
            return std::nullopt;
        }
    }
    return words;
}

std::vector<Property> LocalisedMembers(int uiLanguage, std::shared_ptr<const ExcelWordsFixture> words)
{
    const std::wstring language = std::to_wstring(uiLanguage);
    Property languageId{L"LanguageID", nullptr, [language](const Property::Arguments&) { return language; }};
    ComPtr<IDispatch> settings = MakeAutomationObject({languageId});

    Property findControl{L"FindControl", nullptr, nullptr, [words](const Property::Arguments& arguments) {
                             // FindControl(Type, Id, Tag, Visible, Recursive): Nothing when no control has the id.
                             if (arguments.size() < 2) throw std::runtime_error("FindControl wants an Id");
                             const auto found = words->captions.find(std::stoi(arguments[1]));
                             if (found == words->captions.end()) return ComPtr<IDispatch>();
                             const std::wstring caption = found->second;
                             return MakeAutomationObject({{L"Caption", [caption] { return caption; }}});
                         }};
    // GetLabelMso and GetSupertipMso raise for an idMso they do not know, as Excel's do.
    const auto byIdMso = [words](const wchar_t* member, std::map<std::wstring, std::wstring> ExcelWordsFixture::*table) {
        return Property{member, nullptr, [words, table](const Property::Arguments& arguments) {
                            const auto& texts = (*words).*table;
                            const auto found = arguments.empty() ? texts.end() : texts.find(arguments[0]);
                            if (found == texts.end()) throw std::runtime_error("The value of the idMso parameter is invalid.");
                            return found->second;
                        }};
    };
    ComPtr<IDispatch> commandBars =
        words ? MakeAutomationObject({findControl, byIdMso(L"GetLabelMso", &ExcelWordsFixture::labels),
                                      byIdMso(L"GetSupertipMso", &ExcelWordsFixture::supertips)})
              : ComPtr<IDispatch>();

    Property settingsMember{L"LanguageSettings", nullptr, nullptr,
                            [settings](const Property::Arguments&) { return settings; }};
    Property barsMember{L"CommandBars", nullptr, nullptr, [commandBars](const Property::Arguments&) {
                            if (!commandBars) throw std::runtime_error("Method 'CommandBars' of object '_Application' failed");
                            return commandBars;
                        }};
    return {settingsMember, barsMember};
}

} // namespace cornice::host
