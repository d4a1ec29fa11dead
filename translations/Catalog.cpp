#include "translations/Catalog.h"

#include "common/UserText.h"
#include "common/WideText.h"
#include "settings/SafeFile.h"
#include "settings/Utf8Path.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>

namespace {
constexpr std::string_view kMagic = "\x3C\xB8\x64\x18\xCA\xEF\x9C\x95\xCD\x21\x1C\xBF\x60\xA1\xBD\xDD";
constexpr std::uint8_t kMessagesBlock = 0x69;
// The tags of one message in the messages block.
enum Tag : std::uint8_t {
    kEnd = 1,
    kSourceText16 = 2,
    kTranslation = 3,
    kContext16 = 4,
    kObsolete1 = 5,
    kSourceText = 6,
    kContext = 7,
    kComment = 8,
};
constexpr std::uint32_t kNullString = 0xFFFFFFFF;
constexpr std::size_t kMaxTranslationFileSize = 16 * 1024 * 1024;

// Big-endian reads that fail at the end of the bytes instead of reading past it.
class CReader {
public:
    explicit CReader(std::string_view bytes) : m_bytes(bytes) {}
    bool AtEnd() const { return m_bytes.empty(); }
    bool Byte(std::uint8_t &value) { return Take(1, [&](std::string_view b) { value = static_cast<std::uint8_t>(b[0]); }); }
    bool Word(std::uint32_t &value)
    {
        return Take(4, [&](std::string_view b) {
            value = 0;
            for (const char c : b)
                value = (value << 8) | static_cast<std::uint8_t>(c);
        });
    }
    // A length and that many bytes; a null string reads as empty.
    bool Counted(std::string_view &value)
    {
        std::uint32_t length = 0;
        if (!Word(length))
            return false;
        if (length == kNullString) {
            value = {};
            return true;
        }
        return Take(length, [&](std::string_view b) { value = b; });
    }

private:
    template <class Use> bool Take(std::size_t count, Use use)
    {
        if (m_bytes.size() < count)
            return false;
        use(m_bytes.substr(0, count));
        m_bytes.remove_prefix(count);
        return true;
    }
    std::string_view m_bytes;
};

// A translation is stored as UTF-16 big-endian.
std::string Utf8FromUtf16(std::string_view bytes)
{
    std::string text;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        std::uint32_t unit = static_cast<std::uint8_t>(bytes[i]) << 8 | static_cast<std::uint8_t>(bytes[i + 1]);
        const bool high = unit >= 0xD800 && unit < 0xDC00;
        if (high && i + 3 < bytes.size()) {
            const std::uint32_t low = static_cast<std::uint8_t>(bytes[i + 2]) << 8 | static_cast<std::uint8_t>(bytes[i + 3]);
            if (low >= 0xDC00 && low < 0xE000) {
                unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
        }
        AppendUtf8(text, static_cast<char32_t>(unit));
    }
    return text;
}

// One message: its tags up to kEnd.
bool ReadMessage(CReader &reader, std::string_view context, TextCatalog &catalog)
{
    std::vector<std::string_view> forms;
    std::string_view source, messageContext, comment;
    for (;;) {
        std::uint8_t tag = 0;
        if (!reader.Byte(tag))
            return false;
        std::string_view value;
        std::uint32_t ignored = 0;
        switch (tag) {
        case kEnd:
            if (!forms.empty() && messageContext == context && comment.empty() && !forms.front().empty()) {
                std::vector<std::string> texts;
                for (const std::string_view form : forms)
                    texts.push_back(Utf8FromUtf16(form));
                catalog.emplace(source, std::move(texts));
            }
            return true;
        case kTranslation:
            // A counted text has one of these per plural form.
            if (!reader.Counted(value))
                return false;
            forms.push_back(value);
            break;
        case kSourceText:
        case kSourceText16:
            if (!reader.Counted(source))
                return false;
            break;
        case kContext:
        case kContext16:
            if (!reader.Counted(messageContext))
                return false;
            break;
        case kComment:
            if (!reader.Counted(comment))
                return false;
            break;
        case kObsolete1:
            if (!reader.Word(ignored))
                return false;
            break;
        default:
            return false;
        }
    }
}

const char *g_pszProgram = "";
TextCatalog g_catalog;

std::string LookUp(const std::string &source, int count)
{
    return CatalogText(g_catalog, source, count);
}

bool InstallCatalog(Language language, const std::string &programFolder)
{
    SetTextTranslator(&LookUp);
    if (language == Language::Chinese)
        return true;
    for (const std::string &folder : TranslationFolders(programFolder)) {
        std::string bytes;
        const auto path = PathFromUtf8(folder) / "tavrin_en.qm";
        if (ReadRegularFile(path, bytes, kMaxTranslationFileSize).Failed())
            continue;
        if (auto catalog = ReadTextCatalog(bytes, "Tavrin")) {
            g_catalog = std::move(*catalog);
            return true;
        }
    }
    // Said in English: whoever reads it asked for English and cannot have it.
    std::fprintf(stderr, "%s: the English translation (tavrin_en.qm) is missing; the texts stay Chinese\n", g_pszProgram);
    return false;
}
} // namespace

std::string CatalogText(const TextCatalog &catalog, const std::string &source, int count)
{
    const auto it = catalog.find(source);
    std::string text = source;
    if (it != catalog.end()) {
        // English has two forms: one for a count of 1, the other for every other count.
        const std::size_t form = count == 1 || count < 0 ? 0 : 1;
        text = it->second[std::min(form, it->second.size() - 1)];
    }
    if (count >= 0) {
        for (std::size_t at = text.find("%n"); at != std::string::npos; at = text.find("%n", at))
            text.replace(at, 2, std::to_string(count));
    }
    return text;
}

std::optional<TextCatalog> ReadTextCatalog(std::string_view bytes, std::string_view context)
{
    if (!bytes.starts_with(kMagic))
        return std::nullopt;
    CReader blocks(bytes.substr(kMagic.size()));
    TextCatalog catalog;
    while (!blocks.AtEnd()) {
        std::uint8_t tag = 0;
        std::string_view block;
        if (!blocks.Byte(tag) || !blocks.Counted(block))
            return std::nullopt;
        if (tag != kMessagesBlock)
            continue;
        CReader messages(block);
        while (!messages.AtEnd()) {
            if (!ReadMessage(messages, context, catalog))
                return std::nullopt;
        }
    }
    return catalog;
}

std::vector<std::string> TranslationFolders(const std::string &programFolder)
{
    std::vector<std::string> folders;
    for (const char *relative : {"translations", TAVRIN_MOVED_TRANSLATIONS}) {
        if (!programFolder.empty() && *relative)
            folders.push_back(Utf8FromPath(PathFromUtf8(programFolder) / relative));
    }
    if (*TAVRIN_INSTALLED_TRANSLATIONS)
        folders.push_back(TAVRIN_INSTALLED_TRANSLATIONS);
    return folders;
}

bool SetUpCatalogLanguage(const std::optional<std::string> &option, const std::string &programFolder, const char *program)
{
    g_pszProgram = program;
    std::optional<Language> chosen;
    const bool understood = ReadLanguageOption(option, chosen);
    InstallCatalog(ChooseLanguage(chosen, ProcessEnvironment), programFolder);
    if (!understood)
        std::fprintf(stderr, "%s: %s\n", program, TranslateText(LanguageRefusal(*option)).c_str());
    return understood;
}
