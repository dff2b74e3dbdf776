#include "CommandTables.h"

#include "CommandTablesData.h"

#include <iterator>

namespace cornice {

std::wstring_view ElementOf(CommandType type)
{
    constexpr std::wstring_view kElements[] = {L"button", L"toggleButton", L"checkBox", L"splitButton", L"gallery", L"menu",
                                               L"control"};
    return kElements[static_cast<int>(type)];
}

std::vector<Command> CommandsOf(PlaceList list, bool knownTo2010Only)
{
    using namespace commands;
    std::vector<std::string_view> words;
    words.reserve(kWordCount);
    for (const char* word = kWords; words.size() < kWordCount; word += words.back().size() + 1)
        words.emplace_back(word);

    const int listNumber = static_cast<int>(list);
    std::vector<Command> known;
    std::vector<std::string_view> pieces;
    const std::uint8_t* at = kNames;
    for (std::uint16_t name = 0; name < kNameCount; ++name) {
        pieces.resize(*at >> 4);
        for (int rest = *at++ & 0x0F; rest > 0; --rest) {
            std::size_t word = *at++;
            if (word & 0x80) word = (word & 0x7F) << 8 | *at++;
            pieces.push_back(words[word]);
        }
        const std::uint8_t kind = kKinds[name];
        if (!(kind >> 3 & 1 << listNumber) || (knownTo2010Only && !(kind & 0x80))) continue;
        Command command{{}, static_cast<CommandType>(kind & 0x07)};
        for (const std::string_view piece : pieces) command.idMso.append(piece.begin(), piece.end());
        for (const TypeException& exception : kTypeExceptions)
            if (exception.list == listNumber && exception.name == name) command.type = static_cast<CommandType>(exception.type);
        known.push_back(std::move(command));
    }
    return known;
}

std::vector<std::wstring_view> IdMsoWords(std::wstring_view idMso)
{
    // As generate-commands.py cuts them: a run of capitals followed by no small letter, a word
    // with or without its capital, a number; underscores part them.
    const auto upper = [](wchar_t c) { return c >= L'A' && c <= L'Z'; };
    const auto lower = [](wchar_t c) { return c >= L'a' && c <= L'z'; };
    const auto digit = [](wchar_t c) { return c >= L'0' && c <= L'9'; };
    std::vector<std::wstring_view> words;
    std::size_t i = 0;
    while (i < idMso.size()) {
        const std::size_t start = i;
        if (upper(idMso[i])) {
            while (i < idMso.size() && upper(idMso[i])) ++i;
            // "XMLMap": the last capital begins the next word.
            if (i < idMso.size() && lower(idMso[i])) {
                if (i - start > 1) --i;
                else
                    while (i < idMso.size() && lower(idMso[i])) ++i;
            }
        } else if (lower(idMso[i])) {
            while (i < idMso.size() && lower(idMso[i])) ++i;
        } else if (digit(idMso[i])) {
            while (i < idMso.size() && digit(idMso[i])) ++i;
        } else {
            ++i;
            continue;
        }
        words.push_back(idMso.substr(start, i - start));
    }
    return words;
}

} // namespace cornice
