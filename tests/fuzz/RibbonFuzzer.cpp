// libFuzzer target: whatever the settings store holds, whatever the host calls itself and whatever
// words a localised Excel gives for the tab's own labels, the
// add-in either fails cleanly with a conversion error that names the culprit, or hands Excel a
// document that is well-formed, has no id twice and is valid customUI, and the same input always
// gives the same answer.
//
// Input format (so that the corpus stays readable and editable by hand): lines separated by
// '\n'. Line 1 is the host's name; lines 2 to 13 are the stored texts of the twelve keys in
// the order of kSettingKeys below; line 14, when there is one, makes the host a German Excel
// that gives this text for every menu caption and every GetLabelMso. A missing line, or a line that is the single byte 0xFF
// (never valid UTF-8), leaves that key absent so that its default applies. Each line is
// decoded as UTF-8; a byte that is not part of a valid sequence stands for the code point of
// the same number, so every input is some text.
#include "InMemorySettingsStore.h"
#include "NumberConversion.h"
#include "RibbonBuilder.h"
#include "SettingKeys.h"
#include "Utf8.h"

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlschemas.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <variant>
#include <vector>

namespace {

using namespace cornice;

constexpr std::array<const wchar_t*, 12> kSettingKeys = {
    kClassicKey, kLeftKey, kAllKey, kHideBuiltInTabsKey,
    kTabKeys[0], kTabKeys[1], kTabKeys[2], kTabKeys[3],
    kTabKeys[4], kTabKeys[5], kTabKeys[6], kTabKeys[7],
};
constexpr unsigned char kAbsent = 0xFF;

[[noreturn]] void Fail(const std::string& why)
{
    std::fprintf(stderr, "ribbon-fuzzer: property broken: %s\n", why.c_str());
    std::fflush(stderr);
    std::abort();
}

void Require(bool condition, const std::string& why)
{
    if (!condition) Fail(why);
}

std::wstring Decode(std::string_view bytes)
{
    if (std::optional<std::wstring> text = FromUtf8(bytes)) return *std::move(text);
    // Not UTF-8 as a whole: take the valid sequences as they are and every other byte alone.
    std::wstring text;
    for (std::size_t i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        if (length > 1 && i + length <= bytes.size()) {
            if (std::optional<std::wstring> sequence = FromUtf8(bytes.substr(i, length))) {
                text += *sequence;
                i += length;
                continue;
            }
        }
        text += static_cast<wchar_t>(lead);
        ++i;
    }
    return text;
}

struct Input {
    std::wstring hostName;
    std::array<std::optional<std::wstring>, kSettingKeys.size()> values;
    std::optional<std::wstring> excelWords;
};

Input Parse(std::string_view data)
{
    Input input;
    std::size_t line = 0;
    while (line <= kSettingKeys.size() + 1) {
        const std::size_t end = data.find('\n');
        const std::string_view field = data.substr(0, end);
        if (line == 0)
            input.hostName = Decode(field);
        else if (line == kSettingKeys.size() + 1)
            input.excelWords = Decode(field);
        else if (!(field.size() == 1 && static_cast<unsigned char>(field[0]) == kAbsent))
            input.values[line - 1] = Decode(field);
        ++line;
        if (end == std::string_view::npos) break;
        data.remove_prefix(end + 1);
    }
    return input;
}

class FixedHost final : public Host, public ExcelWords {
public:
    std::wstring Name() override { return name; }
    int UiLanguage() override { return words ? 1031 : 1033; }
    ExcelWords* Words() override { return this; }
    std::wstring MenuCaption(int) override { return words.value(); }
    std::wstring LabelOf(std::wstring_view) override { return words.value(); }
    std::wstring SupertipOf(std::wstring_view) override { return words.value(); }
    std::wstring name;
    std::optional<std::wstring> words;
};

// What one request gave: the document, or the key and text of the value that failed it.
struct Failure {
    std::wstring key, text;
    SettingValueError::Reason reason;
    bool operator==(const Failure& other) const
    {
        return key == other.key && text == other.text && reason == other.reason;
    }
};
using Outcome = std::variant<std::wstring, Failure>;

Outcome Request(RibbonBuilder& builder)
{
    try {
        return builder.GetRibbonXML();
    } catch (const SettingValueError& error) {
        return Failure{error.Key(), error.Text(), error.Why()};
    } catch (const std::exception& error) {
        Fail(std::string("an exception other than a conversion error: ") + error.what());
    } catch (...) {
        Fail("an exception of unknown type");
    }
}

class Schema {
public:
    Schema()
    {
        xmlSchemaParserCtxtPtr parser = xmlSchemaNewParserCtxt(CUSTOMUI_XSD);
        schema_ = xmlSchemaParse(parser);
        xmlSchemaFreeParserCtxt(parser);
        Require(schema_ != nullptr, "cannot load " CUSTOMUI_XSD);
    }
    ~Schema()
    {
        // For the run's figures: how many different documents the inputs reached.
        std::fprintf(stderr, "ribbon-fuzzer: %zu distinct documents checked\n", checked_.size());
        xmlSchemaFree(schema_);
    }
    Schema(const Schema&) = delete;
    Schema& operator=(const Schema&) = delete;

    // Parses and validates a document once; later calls with the same text are answered from
    // memory, because the settings lead to only about a thousand distinct documents and
    // validation costs far more than building.
    void Check(const std::wstring& document)
    {
        const std::size_t hash = std::hash<std::wstring>{}(document);
        if (checked_.count(hash) != 0) return;

        const std::string bytes = ToUtf8(document);
        std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)> parsed(
            xmlReadMemory(bytes.data(), static_cast<int>(bytes.size()), "ribbon.xml", "UTF-8",
                          XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING),
            xmlFreeDoc);
        Require(parsed != nullptr, "the document is not well-formed XML");

        std::set<std::string> ids;
        CollectIds(xmlDocGetRootElement(parsed.get()), ids);
        Require(ids.size() > 100, "too few ids: " + std::to_string(ids.size()));

        std::unique_ptr<xmlSchemaValidCtxt, decltype(&xmlSchemaFreeValidCtxt)> validator(
            xmlSchemaNewValidCtxt(schema_), xmlSchemaFreeValidCtxt);
        xmlSchemaSetValidStructuredErrors(validator.get(), &Schema::Report, nullptr);
        Require(xmlSchemaValidateDoc(validator.get(), parsed.get()) == 0,
                "the document does not validate against customUI.xsd");
        checked_.insert(hash);
    }

private:
    static void CollectIds(xmlNode* node, std::set<std::string>& ids)
    {
        for (; node != nullptr; node = node->next) {
            if (node->type != XML_ELEMENT_NODE) continue;
            for (xmlAttr* attribute = node->properties; attribute != nullptr; attribute = attribute->next) {
                if (std::string_view(reinterpret_cast<const char*>(attribute->name)) != "id") continue;
                xmlChar* value = xmlNodeGetContent(reinterpret_cast<xmlNode*>(attribute));
                const std::string id = value ? reinterpret_cast<const char*>(value) : "";
                xmlFree(value);
                Require(ids.insert(id).second, "id twice: " + id);
            }
            CollectIds(node->children, ids);
        }
    }

    static void Report(void*, xmlErrorPtr error)
    {
        std::fprintf(stderr, "customUI.xsd, line %d: %s", error->line, error->message);
    }

    xmlSchemaPtr schema_ = nullptr;
    std::unordered_set<std::size_t> checked_;
};

const std::wstring kStart = L"<customUI xmlns=\"http://schemas.microsoft.com/office/2006/01/customui\" >";
const std::wstring kEnd = L"</group ></tab></tabs></ribbon></customUI>";

bool EndsWith(const std::wstring& text, const std::wstring& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static Schema schema;
    // One builder lives across all inputs, as Connect's does across Excel's requests: whatever
    // an earlier request left behind (a failure halfway, other settings) must not show.
    static InMemorySettingsStore longLivedStore;
    static FixedHost longLivedHost;
    static RibbonBuilder longLivedBuilder(longLivedStore, longLivedHost);

    const Input input = Parse(std::string_view(reinterpret_cast<const char*>(data), size));
    InMemorySettingsStore store;
    longLivedStore = InMemorySettingsStore();
    for (std::size_t i = 0; i < kSettingKeys.size(); ++i) {
        if (!input.values[i]) continue;
        store.SaveSetting(kSettingsApplication, kSettingsSection, kSettingKeys[i], *input.values[i]);
        longLivedStore.SaveSetting(kSettingsApplication, kSettingsSection, kSettingKeys[i], *input.values[i]);
    }
    FixedHost host;
    host.name = input.hostName;
    host.words = input.excelWords;
    longLivedHost.name = input.hostName;
    longLivedHost.words = input.excelWords;
    longLivedBuilder.ForgetLabels(); // Excel's words are asked once per connection

    RibbonBuilder builder(store, host);
    const Outcome outcome = Request(builder);
    Require(Request(builder) == outcome, "a second request with the same settings answered differently");
    Require(Request(longLivedBuilder) == outcome, "a long-lived builder answered differently from a new one");

    const bool isExcel = input.hostName.find(L"Excel") != std::wstring::npos;
    if (const Failure* failure = std::get_if<Failure>(&outcome)) {
        Require(isExcel, "a host that is not Excel was read settings from");
        std::optional<std::size_t> slot;
        for (std::size_t i = 0; i < kSettingKeys.size(); ++i)
            if (failure->key == kSettingKeys[i]) slot = i;
        Require(slot.has_value(), "the error names no key of ours");
        // The error shows the user the text that is stored, not some other value.
        Require(input.values[*slot] == failure->text, "the error quotes a text that is not stored under its key");
        return 0;
    }

    const std::wstring& document = std::get<std::wstring>(outcome);
    if (!isExcel) {
        Require(document.empty(), "a host that is not Excel got a document");
        return 0;
    }
    if (document.empty()) {
        // Only "Classic" of 0 turns the add-in off for Excel.
        Require(input.values[0].has_value() && ToWholeNumber(kClassicKey, *input.values[0]) == 0,
                "Excel got no document although Classic is not 0");
        return 0;
    }
    Require(document.compare(0, kStart.size(), kStart) == 0, "the document does not start with customUI");
    Require(EndsWith(document, kEnd), "the document does not end with its closing tags");
    schema.Check(document);
    return 0;
}
