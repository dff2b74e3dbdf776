#include "SearchSession.h"

#include "ExcelPlaces.h"

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
    // A host that cannot tell its version is searched with the latest list, and its words are
    // then asked without being kept.
    const HostRelease release = ReleaseOf(host_);
    ExcelWords* words = host_.Words();
    if (words && memory_ && !release.version.empty()) {
        ExcelWordsRecord kept = RecalledOrNewRecord(*memory_, release.version, language);
        keptWords_ = kept.words.size();
        remembering_ = std::make_unique<RememberingWords>(*words, std::move(kept));
        words = remembering_.get();
    }
    search_ = std::make_unique<CommandSearch>(PlaceListFor(release.version, release.build), language, labels, words,
                                              SearchScopeFor(release.version));
    language_ = language;
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
        keptWords_ = remembering_->Record().words.size();
        KeepUnlessWordless(*memory_, remembering_->Record());
    }
}

std::wstring SearchSession::ResultsMenu() const
{
    return searched_ ? cornice::ResultsMenu(hits_, language_) : HintMenu(language_);
}

} // namespace cornice
