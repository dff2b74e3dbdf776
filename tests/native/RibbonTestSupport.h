#pragma once

#include "Host.h"

#include <cstddef>
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

// The document for a store holding exactly these values of the shared section.
std::wstring BuildDocument(const Settings& settings = {}, const std::wstring& hostName = L"Microsoft Excel");

// Every value of an id="..." attribute, in document order.
std::vector<std::wstring> IdsIn(const std::wstring& document);

std::size_t CountOf(const std::wstring& text, const std::wstring& needle);

// The part of `text` from the first `from` up to and including the first `to` after it.
std::wstring Between(const std::wstring& text, const std::wstring& from, const std::wstring& to);

} // namespace cornice::test
