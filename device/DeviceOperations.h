#pragma once

#include "device/ModuleCommands.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class CDeviceLink;
class IDlgControls;
class IKeyPage;
struct ConfigDifference;

// The parameters as the main window's controls (or the settings loaded into them) give them.
ModuleParameters ParametersOfControls(const IDlgControls &controls);

// The five things the tool does with the module, each started by a main-window button (or by the
// search): the window's adapter over the typed operations, reading and setting the main window's
// controls by identifier.
class CDeviceOperations {
public:
    // The page of a kind, or nullptr when that page could not be created.
    using PageLookup = std::function<IKeyPage *(PageKind)>;
    // The kind of the page that is shown (the page host's current tab).
    using CurrentPage = std::function<int()>;
    using LogLine = std::function<void(const std::string &)>;
    // A key that went to the module: its index, its record and the text the log shows.
    using KeyWritten = std::function<void(int, const KeyRecord &, const std::string &)>;

    CDeviceOperations(CDeviceLink &link, IDlgControls &controls);

    // The number of keys the query lists; kept within 0..64.
    void SetKeyCount(int keyCount);
    int KeyCount() const { return m_nKeyCount; }
    void SetPages(PageLookup pages, CurrentPage currentPage);
    void SetLog(LogLine addLogLine);
    void SetKeyWritten(KeyWritten keyWritten);
    // Told after each valid query.
    void SetQueried(std::function<void()> queried) { m_queried = std::move(queried); }
    // Asked after a message box that an operation goes on from: whether the module it began on is
    // still there.
    void SetModuleStillThere(std::function<bool()> stillThere) { m_stillThere = std::move(stillThere); }

    void FindModule();
    void QueryModule();
    // A module was plugged in: when none is open, the search and the query run by themselves and
    // tell what they found in one log line naming the module, showing no message box. returning:
    // it is the module pulled out last, plugged in again, and the chosen key and the parameters
    // shown stay as they were. True when a module was opened and its query listed its keys.
    bool ModuleArrived(bool returning = false);
    // The module the window works with was pulled out (its serial, empty for none, and the node it
    // was open on): its handle is closed, the device-operation buttons are disabled, the module
    // list says it is gone and one log line names it.
    void ModuleRemoved(const std::string &serial, const std::string &node);
    void WriteParameters();
    void FactoryReset1();
    void FactoryReset2();
    void WriteKey();

    // The last query's proof that the module is valid, which every write takes; nullptr after a
    // failed search, an invalid reply or the module's removal.
    const ValidQuery *Valid() const { return m_valid ? &*m_valid : nullptr; }
    // The keys the last valid query listed; none without one.
    int ListedKeys() const { return m_valid ? m_valid->KeyCount() : 0; }
    // Logs a key that went to the module, as "键值写入" does, and passes it on.
    void LogKeyWritten(int keyIndex, const KeyRecord &record, const std::string &text);
    // What the last valid query read; nullptr before one or after a failed one.
    const ModuleSnapshot *LastReading() const { return m_valid ? &m_valid->Snapshot() : nullptr; }
    // The parameters as the controls show them.
    ModuleParameters ControlParameters() const;
    // Shows parameters that went to the module in their controls.
    void ShowParameters(const ModuleParameters &parameters);

private:
    void RunFactoryReset(int number);
    void LogResetDifferences(int number, const std::vector<ConfigDifference> &differences) const;
    void AddLogLine(const std::string &line) const;

    CDeviceLink &m_link;
    IDlgControls &m_controls;
    int m_nKeyCount = 0;
    int m_nClampedFrom = 0; // the settings' key count while it is still to be told that it was bounded
    std::optional<ValidQuery> m_valid;
    PageLookup m_pages;
    CurrentPage m_currentPage;
    LogLine m_addLogLine;
    KeyWritten m_keyWritten;
    std::function<void()> m_queried;
    std::function<bool()> m_stillThere;
};
