#include "ExcelWordsRecord.h"

#include "LanguageChoice.h"
#include "NumberText.h"

#include <cstdint>

namespace cornice {
namespace {

// The first line's start. A change of the format changes the number, and every record of the
// old one is asked anew.
constexpr std::wstring_view kFormat = L"ExcelWords 1";
constexpr std::wstring_view kCheck = L"check\t";

constexpr std::wstring_view kKindNames[] = {L"caption", L"label", L"supertip"};

std::wstring_view NameOf(WordKind kind) { return kKindNames[static_cast<int>(kind)]; }

std::optional<WordKind> KindNamed(std::wstring_view name)
{
    for (int i = 0; i < 3; ++i)
        if (kKindNames[i] == name) return static_cast<WordKind>(i);
    return std::nullopt;
}

// FNV-1a over the UTF-16 code units: enough to tell a damaged record from a whole one.
std::uint32_t Checksum(std::wstring_view text)
{
    std::uint32_t hash = 2166136261u;
    for (const wchar_t c : text) {
        const auto unit = static_cast<std::uint32_t>(c) & 0xFFFF;
        hash = (hash ^ (unit & 0xFF)) * 16777619u;
        hash = (hash ^ (unit >> 8)) * 16777619u;
    }
    return hash;
}

std::wstring ChecksumText(std::wstring_view text)
{
    const std::wstring hex = HexCodeText(Checksum(text));
    return hex.substr(2);
}

// Tabs and line ends separate the fields and lines; the registry's text carries no NUL.
void AppendEscaped(std::wstring& out, std::wstring_view text)
{
    for (const wchar_t c : text) {
        switch (c) {
        case L'\\': out += L"\\\\"; break;
        case L'\t': out += L"\\t"; break;
        case L'\n': out += L"\\n"; break;
        case L'\r': out += L"\\r"; break;
        case L'\0': out += L"\\0"; break;
        default: out += c;
        }
    }
}

std::optional<std::wstring> Unescaped(std::wstring_view text)
{
    std::wstring out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != L'\\') {
            out += text[i];
            continue;
        }
        if (++i == text.size()) return std::nullopt;
        switch (text[i]) {
        case L'\\': out += L'\\'; break;
        case L't': out += L'\t'; break;
        case L'n': out += L'\n'; break;
        case L'r': out += L'\r'; break;
        case L'0': out += L'\0'; break;
        default: return std::nullopt;
        }
    }
    return out;
}

std::vector<std::wstring_view> Split(std::wstring_view text, wchar_t separator)
{
    std::vector<std::wstring_view> parts;
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::wstring_view::npos ? std::wstring_view::npos : end - start));
        if (end == std::wstring_view::npos) return parts;
        start = end + 1;
    }
}

std::optional<int> WholeNumber(std::wstring_view text)
{
    if (text.empty() || text.size() > 9) return std::nullopt;
    int n = 0;
    for (const wchar_t c : text) {
        if (c < L'0' || c > L'9') return std::nullopt;
        n = n * 10 + (c - L'0');
    }
    return n;
}

// "16.0" before "9.0": the major version as a number; anything unreadable counts least.
int MajorVersion(const std::wstring& version)
{
    const std::optional<int> major = WholeNumber(std::wstring_view(version).substr(0, version.find(L'.')));
    return major ? *major : -1;
}

} // namespace

const std::optional<std::wstring>* ExcelWordsRecord::Find(WordKind kind, std::wstring_view key) const
{
    const auto found = words.find({kind, std::wstring(key)});
    return found == words.end() ? nullptr : &found->second;
}

std::wstring SerialiseWordsRecord(const ExcelWordsRecord& record)
{
    std::wstring text(kFormat);
    text += L'\t';
    AppendEscaped(text, record.excelVersion);
    text += L'\t';
    text += DecimalText(record.language);
    text += L'\n';
    for (const auto& [question, answer] : record.words) {
        text += NameOf(question.first);
        text += L'\t';
        AppendEscaped(text, question.second);
        text += L'\t';
        if (answer) {
            text += L'=';
            AppendEscaped(text, *answer);
        } else {
            text += L'!';
        }
        text += L'\n';
    }
    text += kCheck;
    text += ChecksumText(text);
    return text;
}

std::optional<ExcelWordsRecord> ParseWordsRecord(std::wstring_view text)
{
    const std::size_t check = text.rfind(kCheck);
    if (check == std::wstring_view::npos || (check != 0 && text[check - 1] != L'\n')) return std::nullopt;
    const std::wstring_view body = text.substr(0, check + kCheck.size());
    if (text.substr(body.size()) != ChecksumText(body)) return std::nullopt;

    std::vector<std::wstring_view> lines = Split(text.substr(0, check), L'\n');
    lines.pop_back(); // what follows the last line end: the check line
    if (lines.empty()) return std::nullopt;

    const std::vector<std::wstring_view> header = Split(lines[0], L'\t');
    ExcelWordsRecord record;
    std::optional<std::wstring> version;
    std::optional<int> language;
    if (header.size() != 3 || header[0] != kFormat || !(version = Unescaped(header[1])) || version->empty() ||
        !(language = WholeNumber(header[2])))
        return std::nullopt;
    record.excelVersion = *version;
    record.language = *language;

    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::vector<std::wstring_view> fields = Split(lines[i], L'\t');
        if (fields.size() != 3 || fields[2].empty()) return std::nullopt;
        const std::optional<WordKind> kind = KindNamed(fields[0]);
        std::optional<std::wstring> key = Unescaped(fields[1]);
        if (!kind || !key || key->empty()) return std::nullopt;
        std::optional<std::wstring> answer;
        if (fields[2][0] == L'=') {
            if (!(answer = Unescaped(fields[2].substr(1)))) return std::nullopt;
        } else if (fields[2] != L"!") {
            return std::nullopt;
        }
        if (!record.words.emplace(std::make_pair(*kind, std::move(*key)), std::move(answer)).second) return std::nullopt;
    }
    return record;
}

std::optional<ExcelWordsRecord> RecallRecord(ExcelWordsMemory& memory, const std::wstring& excelVersion, int language)
{
    std::optional<ExcelWordsRecord> record = ParseWordsRecord(memory.Recall(excelVersion, language));
    if (!record || record->excelVersion != excelVersion || record->language != language) return std::nullopt;
    return record;
}

std::optional<ExcelWordsRecord> RecordForTextLanguage(const std::vector<std::wstring>& texts, int textLanguage)
{
    std::optional<ExcelWordsRecord> chosen;
    for (const std::wstring& text : texts) {
        std::optional<ExcelWordsRecord> record = ParseWordsRecord(text);
        if (!record || TextLanguageFor(record->language) != textLanguage) continue;
        if (!chosen || MajorVersion(record->excelVersion) > MajorVersion(chosen->excelVersion)) chosen = std::move(record);
    }
    return chosen;
}

} // namespace cornice
