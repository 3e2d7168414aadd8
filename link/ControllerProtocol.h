#pragma once
// The protocol engine: sends requests, cuts received bytes into frames and runs the reply
// table, so that every request after the first of an exchange is sent from the handling of
// the previous reply. Nothing here waits for a reply.
#include <cstdint>
#include <functional>

#include "LinkEvents.h"
#include "LinkFrame.h"

namespace dt {

class BackupKeeper;
class ControllerProfile;

struct ToolState;
class LinkHost;
class SheetView;
class BytePort;

class ControllerProtocol {
public:
    // Installs itself as the port's received-data handler; state, host and port outlive it.
    ControllerProtocol(ToolState& state, LinkHost& host, BytePort& port);
    ~ControllerProtocol();
    ControllerProtocol(const ControllerProtocol&) = delete;
    ControllerProtocol& operator=(const ControllerProtocol&) = delete;

    // Writes one frame in one write; nothing when length is above 252 or the port is closed.
    void SendFrame(uint8_t command, const uint8_t* payload, int length);
    void SendRequest(uint8_t command) { SendFrame(command, nullptr, 0); }

    // The port's received-data notification. Ignored unless portNumber is the open port's.
    // Reads what has arrived and handles every complete frame in order. A notification that
    // comes while a frame is being handled (a message box runs a nested event loop) only
    // marks more work for the running pass, so frames are handled once each and in order.
    void OnPortReceived(int portNumber);

    // Forgets partial frames (a newly opened port starts clean).
    void ClearReceiveBuffer() { buffer_.Clear(); }
    const ReceiveBuffer& Buffer() const { return buffer_; }

    // Called with each frame just before it is handled (for tracing and tests).
    void SetFrameObserver(std::function<void(const LinkFrame&)> observer) { observer_ = std::move(observer); }
    // Shows each completed read (tree, grid, values); may be null.
    void SetSheetView(SheetView* view) { view_ = view; }
    // Told of every completed read, so the set is kept as a backup; may be null.
    void SetBackupKeeper(BackupKeeper* keeper) { keeper_ = keeper; }

    // Runs the reply table on one frame (the frame is no longer in the buffer).
    void HandleReply(const LinkFrame& frame);

    // What happened: reads completed, blocks written, store outcomes, exchanges lost.
    LinkEvents& Events() { return events_; }
    // The download under way ends once the block in flight is acknowledged: nothing more is
    // sent, nothing is stored, and LinkLost (Stopped) is raised. The request lasts until then
    // or until the next download starts.
    void StopAfterBlockInFlight() { stopRequested_ = true; }
    // Asked just before each further block and each store request is sent; true stops there as
    // StopAfterBlockInFlight does (a signal taken between two polls cannot let one more out).
    void SetStopCheck(std::function<bool()> check) { stopCheck_ = std::move(check); }
    // Sends the store request of operation, unless a stop is wanted; raises StoreRequested.
    void RequestStore(PendingOperation operation);
    // The port's device went away (detail: the system's words); raises LinkLost (DeviceGone).
    void PortLost(const std::string& detail);
    // A download is about to send its first block.
    void DownloadStarting() { stopRequested_ = false; }

private:
    void ReadArrived();
    void OnNotReady();
    void OnBlockRead(const LinkFrame& frame);
    void OnBlockWritten(uint8_t code);
    void OnRestoreArmed();
    void SendBlock(uint8_t command, const uint8_t* block);
    void ReadCompletion(const ControllerProfile& profile);
    void ShowRead();
    bool StopHere();
    void StoreOutcome(bool stored);

    ToolState& state_;
    LinkHost& host_;
    SheetView* view_ = nullptr;
    BytePort& port_;
    ReceiveBuffer buffer_;
    BackupKeeper* keeper_ = nullptr;
    std::string RestoreMessage(bool stored) const;
    bool handling_ = false;
    bool morePending_ = false;
    bool stopRequested_ = false;
    LinkEvents events_;
    std::function<void(const LinkFrame&)> observer_;
    std::function<bool()> stopCheck_;
};

}  // namespace dt
