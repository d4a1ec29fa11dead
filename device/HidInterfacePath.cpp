#include "device/HidInterfacePath.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <vector>

namespace {
constexpr std::string_view kInterfacePrefix = R"(\\?\)";
constexpr std::string_view kHidPrefix = R"(\\?\hid#)";

std::string LowerCase(std::string_view text)
{
    std::string lower(text);
    // ASCII only: the bytes of a multibyte UTF-8 character stay as they are.
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return lower;
}

std::vector<std::string_view> Split(std::string_view text, char separator)
{
    std::vector<std::string_view> parts;
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos)
            return parts;
        start = end + 1;
    }
}

// The hexadecimal number of exactly digits digits after prefix in token ("vid_0b05"), if token is
// one.
std::optional<unsigned> HexField(std::string_view token, std::string_view prefix, std::size_t digits)
{
    if (!token.starts_with(prefix) || token.size() != prefix.size() + digits)
        return std::nullopt;
    unsigned value = 0;
    const char *end = token.data() + token.size();
    const auto [last, error] = std::from_chars(token.data() + prefix.size(), end, value, 16);
    if (error != std::errc() || last != end)
        return std::nullopt;
    return value;
}
} // namespace

std::string NormalisedInterfacePath(std::string_view path)
{
    return path.starts_with(kInterfacePrefix) ? LowerCase(path) : std::string(path);
}

std::optional<HidInterfacePath> ParseHidInterfacePath(std::string_view path)
{
    HidInterfacePath parsed{LowerCase(path)};
    if (!std::string_view(parsed.node).starts_with(kHidPrefix))
        return std::nullopt;
    // The device part, the instance part and the interface class, each one of them there.
    const std::vector<std::string_view> parts = Split(std::string_view(parsed.node).substr(kHidPrefix.size()), '#');
    if (parts.size() != 3 || parts[1].empty() || !parts[2].starts_with('{') || !parts[2].ends_with('}'))
        return std::nullopt;
    std::optional<unsigned> vendor, product, number;
    const struct {
        std::optional<unsigned> *value;
        std::string_view prefix;
        std::size_t digits;
    } fields[] = {{&vendor, "vid_", 4}, {&product, "pid_", 4}, {&number, "mi_", 2}};
    for (const std::string_view token : Split(parts[0], '&')) {
        for (const auto &field : fields) {
            if (!token.starts_with(field.prefix))
                continue;
            // A field given twice, or not as its digits, leaves the interface unknown.
            if (*field.value || !(*field.value = HexField(token, field.prefix, field.digits)))
                return std::nullopt;
        }
    }
    if (!vendor || !product)
        return std::nullopt;
    parsed.vendorId = static_cast<std::uint16_t>(*vendor);
    parsed.productId = static_cast<std::uint16_t>(*product);
    parsed.interfaceNumber = number ? static_cast<int>(*number) : -1;
    return parsed;
}

bool IsUsbDeviceId(std::string_view instanceId)
{
    const std::string lower = LowerCase(instanceId);
    const std::vector<std::string_view> parts = Split(lower, '\\');
    return parts.size() == 3 && parts[0] == "usb" && parts[1].starts_with("vid_") &&
           parts[1].find("&pid_") != std::string_view::npos && parts[1].find("&mi_") == std::string_view::npos &&
           !parts[2].empty();
}

InterfaceAnnouncement AnnouncementOfInterface(const HidInterfacePath &path, const std::string &usbDevice,
                                              const std::string &serial)
{
    std::string module = usbDevice;
    if (module.empty()) {
        char device[32];
        std::snprintf(device, sizeof device, "USB\\VID_%04X&PID_%04X\\", path.vendorId, path.productId);
        module = device + serial;
    }
    return {{module, serial}, path.node, path.vendorId, path.productId, path.interfaceNumber};
}
