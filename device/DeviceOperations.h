#pragma once

#include <cstdint>
#include <functional>
#include <string>

class CDeviceLink;
class IDlgControls;
class IKeyPage;

// Page kinds, in tab order; also the assignment type in a key record's top two bits.
enum class PageKind : int { Keyboard = 0, Mouse = 1, GamePad = 2 };

// The module's record of one key sits at 28 + 3 × key index; the index field has six bits.
inline constexpr std::uint32_t kKeyRecordBase = 28;
inline constexpr int kMaxKeyCount = 64;

// The five things the tool does with the module, each started by a main-window button (or by the
// search), reading and setting the main window's controls by identifier.
class CDeviceOperations {
public:
    // The page of a kind, or nullptr when that page could not be created.
    using PageLookup = std::function<IKeyPage *(PageKind)>;
    // The kind of the page that is shown (the page host's current tab).
    using CurrentPage = std::function<int()>;
    using LogLine = std::function<void(const std::string &)>;

    CDeviceOperations(CDeviceLink &link, IDlgControls &controls);

    // The number of keys the query lists; kept within 0..64.
    void SetKeyCount(int keyCount);
    int KeyCount() const { return m_nKeyCount; }
    void SetPages(PageLookup pages, CurrentPage currentPage);
    void SetLog(LogLine addLogLine);

    void FindModule();
    void QueryModule();
    void WriteParameters();
    void FactoryReset1();
    void FactoryReset2();
    void WriteKey();

private:
    struct FactoryReset;
    void RunFactoryReset(FactoryReset reset);
    int Send(std::uint32_t dataLength, std::uint32_t address, std::uint8_t *data);

    CDeviceLink &m_link;
    IDlgControls &m_controls;
    int m_nKeyCount = 0;
    PageLookup m_pages;
    CurrentPage m_currentPage;
    LogLine m_addLogLine;
};
