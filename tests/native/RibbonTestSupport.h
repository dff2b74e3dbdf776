#pragma once

#include "Host.h"

#include <cstddef>
#include <map>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace cornice::test {

using Settings = std::vector<std::pair<std::wstring, std::wstring>>;

class TestHost final : public Host {
public:
    explicit TestHost(std::wstring name = L"Microsoft Excel") : name_(std::move(name)) {}
    std::wstring Name() override
    {
        if (fail_) throw std::runtime_error("the host cannot tell its name");
        return name_;
    }
    void FailNextCalls(bool fail) { fail_ = fail; }

private:
    std::wstring name_;
    bool fail_ = false;
};

// An Excel in another language: its words from the given captions and labels, or an exception
// for every question when `raise` is set. Counts the questions.
class LocalisedHost final : public Host, public ExcelWords {
public:
    explicit LocalisedHost(int language) : language_(language) {}
    std::wstring Name() override { return L"Microsoft Excel"; }
    int UiLanguage() override { return language_; }
    ExcelWords* Words() override { return this; }
    std::wstring Version() override { return version; }

    std::wstring MenuCaption(int controlId) override
    {
        ++questions;
        if (raise || !captions.count(controlId)) throw std::runtime_error("no such control");
        return captions.at(controlId);
    }
    std::wstring LabelOf(std::wstring_view idMso) override
    {
        ++questions;
        const auto found = labels.find(std::wstring(idMso));
        if (raise || found == labels.end()) throw std::runtime_error("no such idMso");
        return found->second;
    }

    std::wstring SupertipOf(std::wstring_view idMso) override
    {
        ++questions;
        const auto found = supertips.find(std::wstring(idMso));
        if (raise || found == supertips.end()) throw std::runtime_error("no such idMso");
        return found->second;
    }
    long Build() override { return build; }

    std::map<int, std::wstring> captions;
    std::map<std::wstring, std::wstring> labels;
    std::map<std::wstring, std::wstring> supertips;
    long build = 0;
    bool raise = false;
    int questions = 0;
    std::wstring version = L"16.0";

private:
    int language_;
};

// The document for a store holding exactly these values of the shared section.
std::wstring BuildDocument(const Settings& settings = {}, const std::wstring& hostName = L"Microsoft Excel");

// Every value of an id="..." attribute, in document order.
std::vector<std::wstring> IdsIn(const std::wstring& document);

std::size_t CountOf(const std::wstring& text, const std::wstring& needle);

// The part of `text` from the first `from` up to and including the first `to` after it.
std::wstring Between(const std::wstring& text, const std::wstring& from, const std::wstring& to);

} // namespace cornice::test
