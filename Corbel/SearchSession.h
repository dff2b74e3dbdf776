// The Classic tab's command search ("Search") as one connection meets it: the words last
// searched and what they found. The search, and its questions to Excel, wait for the first
// words: a start that never searches asks nothing.
#pragma once

#include "CommandSearch.h"
#include "ExcelWordsRecord.h"
#include "Host.h"
#include "RememberedWords.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cornice {

class SearchSession {
public:
    // `memory`, when given, keeps Excel's labels between starts, in the record of its other words.
    SearchSession(Host& host, ExcelWordsMemory* memory) : host_(host), memory_(memory) {}

    // A new connection: its Excel may be another.
    void Forget() noexcept;

    // The words last searched, as the user typed them: the edit box's text.
    const std::wstring& Words() const noexcept { return words_; }

    // Searches Excel's commands for `words` with the Classic tab's labels of Excel's language.
    // Throws only when the search itself cannot be made; a question Excel fails costs its word.
    void Search(std::wstring_view words, const RibbonLabels& labels, int language);

    // The results menu's content (getContent): the last search's hits, or the one disabled
    // entry that says nothing was found (or, before any search, what to do).
    std::wstring ResultsMenu() const;

private:
    void Prepare(const RibbonLabels& labels, int language);

    Host& host_;
    ExcelWordsMemory* memory_;
    std::wstring words_;
    int language_ = 1033;
    std::unique_ptr<RememberingWords> remembering_;
    std::size_t keptWords_ = 0; // the questions the kept record holds
    std::unique_ptr<CommandSearch> search_;
    std::vector<SearchHit> hits_;
    bool searched_ = false;
};

} // namespace cornice
