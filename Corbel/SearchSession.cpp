#include "SearchSession.h"

#include "ExcelPlaces.h"
#include "Trace.h"

#include <algorithm>

namespace cornice {

void SearchSession::Forget() noexcept
{
    words_.clear();
    hits_.clear();
    searched_ = false;
    keptWords_ = 0;
    search_.reset();
    remembering_.reset();
}

void SearchSession::Prepare(const RibbonLabels& labels, int language)
{
    search_.reset(); // before the words it asks through
    // A host that cannot tell its release is searched with the latest list, and its words are
    // then asked without being kept.
    std::wstring version;
    long build = 0;
    try {
        version = host_.Version();
        build = host_.Build();
    } catch (...) {
        TraceCaughtException("Excel's version");
    }
    ExcelWords* words = host_.Words();
    if (words && memory_ && !version.empty()) {
        std::optional<ExcelWordsRecord> kept = RecallRecord(*memory_, version, language);
        if (!kept) {
            kept.emplace();
            kept->excelVersion = version;
            kept->language = language;
        }
        keptWords_ = kept->words.size();
        remembering_ = std::make_unique<RememberingWords>(*words, std::move(*kept));
        words = remembering_.get();
    }
    search_ = std::make_unique<CommandSearch>(PlaceListFor(version, build), language, labels, words);
    language_ = language;
    version_ = version;
}

void SearchSession::Search(std::wstring_view words, const RibbonLabels& labels, int language)
{
    if (!search_ || language != language_) Prepare(labels, language);
    words_.assign(words);
    // Blank words are no search: the menu goes back to saying what to do.
    searched_ = words.find_first_not_of(L" \t") != std::wstring_view::npos;
    hits_ = searched_ ? search_->Find(words) : std::vector<SearchHit>();
    // Excel's labels learnt at this search join its other words for the next start; a record
    // without a single answer (an Excel that could not answer yet) is not worth keeping.
    if (remembering_ && remembering_->Record().words.size() != keptWords_) {
        const auto& record = remembering_->Record().words;
        keptWords_ = record.size();
        if (std::any_of(record.begin(), record.end(), [](const auto& word) { return word.second.has_value(); }))
            memory_->Keep(version_, language_, SerialiseWordsRecord(remembering_->Record()));
    }
}

std::wstring SearchSession::ResultsMenu() const
{
    return searched_ ? cornice::ResultsMenu(hits_, language_) : HintMenu(language_);
}

} // namespace cornice
