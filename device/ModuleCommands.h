#pragma once

#include "records/FactoryConfig.h"
#include "records/ModuleRecords.h"

#include <optional>
#include <utility>

class CDeviceLink;

// The typed device operations: plain values in and out, nothing shown. The window's controls, the
// command line and the key table are adapters over them and word the results. The one exception
// is the transport (CDeviceLink), which reports its own failures when they happen.

// What a module query found: a valid marker, another marker, or no reply at all.
enum class QueryStatus { Valid, Invalid, NoReply };

struct ModuleReading;

// The one read of 64 bytes at address 0, decoded.
ModuleReading ReadModule(CDeviceLink &link, int keyCount);

// Proof that the module answered a query with the valid marker, and what it answered. Only
// ReadModule makes one and every write takes one, so that no caller (window, key table,
// tavrin-cli) can write to a module it has not found valid, nor to a key the query did not list.
class ValidQuery {
public:
    const ModuleSnapshot &Snapshot() const { return m_snapshot; }
    // The keys the query listed: those a write may address.
    int KeyCount() const { return m_snapshot.keyCount; }

private:
    friend ModuleReading ReadModule(CDeviceLink &link, int keyCount);
    explicit ValidQuery(ModuleSnapshot snapshot) : m_snapshot(std::move(snapshot)) {}
    ModuleSnapshot m_snapshot;
};

struct ModuleReading {
    QueryStatus status = QueryStatus::NoReply;
    std::optional<ValidQuery> valid; // with status Valid only
};

enum class WriteResult { Done, Refused, Failed };
// Sends the parameter block; Refused, with nothing sent and the reason, for a debounce time the
// module cannot keep.
struct ParameterWrite {
    WriteResult result = WriteResult::Done;
    DebounceCheck refusal = DebounceCheck::Ok;
};
ParameterWrite WriteParameters(CDeviceLink &link, const ValidQuery &valid, const ModuleParameters &parameters);

// A reset checks the module with a query, then makes two writes: the parameters, then the key
// records. Nothing is written to a module that is not valid.
struct FactoryResetResult {
    QueryStatus module = QueryStatus::NoReply;
    bool parametersWritten = false;
    bool keysWritten = false;
    bool Done() const { return parametersWritten && keysWritten; }
};
FactoryResetResult FactoryReset(CDeviceLink &link, int number);

// Sends one key record to its key's address; Refused, with nothing sent, for a key the query did
// not list. A failure is shown by the transport only.
WriteResult SendKeyRecord(CDeviceLink &link, const ValidQuery &valid, int keyIndex, const KeyRecord &record);
