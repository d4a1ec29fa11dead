#pragma once

#include "device/ModuleCommands.h"
#include "keymap/KeyMap.h"

#include <QString>

#include <functional>
#include <string>

// What the key table needs of the window it works with, and all it knows of it: what the module
// and this session hold, showing one entry on its page, and the operations the table may start.
class IKeyTableHost {
public:
    virtual ~IKeyTableHost() = default;

    // What the last valid query read (none before), what this session wrote, the keys the last
    // valid query listed (0 before), the settings' key count, and the name of the module found.
    virtual const ModuleSnapshot *LastReading() const = 0;
    virtual const KeyMap &WrittenKeys() const = 0;
    virtual int ListedKeys() const = 0;
    virtual int KeyCount() const = 0;
    virtual std::string ModuleName() const = 0;

    // Chooses the entry's key where the module lists it and sets the page that produces its record
    // as that page's own logic reads its text; true when "键值写入" then writes exactly the record.
    virtual bool ShowEntry(const KeyMapEntry &entry) = 0;

    // Runs operation as one operation on the module: device events wait until it ends.
    virtual void RunOperation(const std::function<void()> &operation) = 0;
    // Writes a checked map as "载入并写入键值文件" does; true when everything went through.
    virtual bool WriteKeyMap(const KeyMap &map) = 0;
    // Reads the module once more and logs whether it holds the map.
    virtual void VerifyKeyMap(const KeyMap &map) = 0;
    // Reads the module once more, touching no control of the window.
    virtual ModuleReading ReadModuleAgain() = 0;
    // Whether the module the operation began on is still there.
    virtual bool ModuleStillThere() = 0;
    virtual void AddLogLine(const QString &line) = 0;
};
