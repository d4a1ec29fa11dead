#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

// What a virtual module can be told to do wrong.
struct VirtualFaults {
    bool absent = false;         // not attached at all: never enumerated
    int unplugAfterCalls = -1;   // after this many writes and reads it is gone: every call fails
    int failWritesFrom = -1;     // the write with this index (0-based) and every later one fail
    int failWriteAt = -1;        // only the write with this index fails
    bool failReads = false;      // every read fails
    bool readTimeout = false;    // reads never get an answer
    bool denyOpen = false;       // enumerated, but opening it is refused (no access)
    bool forgetWrites = false;   // acknowledges every write but keeps none of its data
    int cutReplies = -1;         // input reports come with only this many bytes
};

// The key module as the tool sees it over HID: 256 bytes of setting memory behind the command
// block protocol. Output reports arrive as hid_write gets them (report-ID byte first); input
// reports leave without one. Shared by the in-process backend and the hidraw emulation.
class CVirtualModule {
public:
    static constexpr std::size_t kMemorySize = 256;
    static constexpr std::size_t kReportSize = 65; // report-ID byte and 64 bytes
    static constexpr std::size_t kInputSize = 64;
    static constexpr std::uint8_t kValidMarker = 0x5A;

    CVirtualModule();

    VirtualFaults faults;

    std::array<std::uint8_t, kMemorySize> &Memory() { return m_memory; }
    const std::array<std::uint8_t, kMemorySize> &Memory() const { return m_memory; }
    void SetMarker(std::uint8_t marker) { m_memory[0] = marker; }

    // Every output report received, accepted or not, in order.
    const std::vector<std::vector<std::uint8_t>> &Reports() const { return m_reports; }
    void ClearReports() { m_reports.clear(); }

    bool IsPresent() const;
    bool AllowsOpen() const { return IsPresent() && !faults.denyOpen; }

    // hid_write semantics: the report's length, or -1 when refused or failing.
    int Write(const std::uint8_t *report, std::size_t length);
    // hid_read_timeout semantics: bytes copied, 0 when nothing is pending, -1 on failure.
    int Read(std::uint8_t *data, std::size_t length);
    bool HasInput() const { return !m_input.empty(); }
    // Input reports queued and not yet read.
    std::size_t PendingInput() const { return m_input.size(); }
    // Writes received so far: the index the next write gets.
    int Writes() const { return m_nWrites; }
    // Writes and reads so far, as unplugAfterCalls counts them.
    int Calls() const { return m_nCalls; }

private:
    bool CountCall();
    bool Accept(const std::uint8_t *report, std::size_t length);
    void QueueRead(std::uint32_t address, std::uint32_t length);

    std::array<std::uint8_t, kMemorySize> m_memory{};
    std::vector<std::vector<std::uint8_t>> m_reports;
    std::deque<std::array<std::uint8_t, kInputSize>> m_input;
    int m_nCalls = 0;
    int m_nWrites = 0;
    // The data phase still expected after a write command.
    std::uint32_t m_pendingBytes = 0;
    std::uint32_t m_writeAddress = 0;
};
