// The Win32 port's byte mover on a named pipe: the same overlapped reads and writes as on a COM
// handle, with the peer end (the controller's side) in the test's hands.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "PortIo.h"

using namespace dt;

namespace {

struct Pipe {
    HANDLE mine = INVALID_HANDLE_VALUE;  // the port's end, overlapped
    HANDLE peer = INVALID_HANDLE_VALUE;  // the controller's end, plain
    ~Pipe() {
        if (peer != INVALID_HANDLE_VALUE) CloseHandle(peer);
    }
};

// A byte pipe whose buffers hold about bufferBytes: a write larger than that stays pending until
// the peer end reads.
std::unique_ptr<Pipe> MakePipe(DWORD bufferBytes, DWORD access = GENERIC_READ | GENERIC_WRITE) {
    static int made = 0;
    const std::wstring name = L"\\\\.\\pipe\\drivetune-portio-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                              std::to_wstring(++made);
    auto pipe = std::make_unique<Pipe>();
    pipe->peer = CreateNamedPipeW(name.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT, 1,
                                 bufferBytes, bufferBytes, 0, nullptr);
    pipe->mine = CreateFileW(name.c_str(), access, 0, nullptr, OPEN_EXISTING,
                             FILE_FLAG_OVERLAPPED, nullptr);
    return pipe;
}

// What the peer end has received once count bytes are there ("" when they do not come in 10 s).
std::string FarReads(HANDLE peer, size_t count) {
    for (int i = 0; i < 10000; ++i) {
        DWORD available = 0;
        if (!PeekNamedPipe(peer, nullptr, 0, nullptr, &available, nullptr)) return {};
        if (available >= count) {
            std::string bytes(count, '\0');
            DWORD n = 0;
            if (!ReadFile(peer, bytes.data(), DWORD(count), &n, nullptr) || n != count) return {};
            return bytes;
        }
        Sleep(1);
    }
    return {};
}

void FarWrites(HANDLE peer, const std::string& bytes) {
    DWORD n = 0;
    ASSERT_TRUE(WriteFile(peer, bytes.data(), DWORD(bytes.size()), &n, nullptr));
    ASSERT_EQ(n, bytes.size());
}

template <typename Predicate>
bool Within10s(Predicate done) {
    for (int i = 0; i < 10000 && !done(); ++i) Sleep(1);
    return done();
}

struct Counters {
    std::atomic<int> arrivals{0};
    std::atomic<int> losses{0};
    std::atomic<unsigned long> lostError{0};
};

std::unique_ptr<PortIo> MakePort(const Pipe& pipe, Counters& c) {
    return std::make_unique<PortIo>(
        pipe.mine, [&c] { ++c.arrivals; },
        [&c](unsigned long error) {
            c.lostError = error;
            ++c.losses;
        });
}

// A port on a fresh pipe, its callbacks counted; the port goes before the pipe.
struct Rig {
    std::unique_ptr<Pipe> pipe;
    Counters c;
    std::unique_ptr<PortIo> port;
    explicit Rig(DWORD bufferBytes, DWORD access = GENERIC_READ | GENERIC_WRITE) : pipe(MakePipe(bufferBytes, access)) {
        if (pipe->mine != INVALID_HANDLE_VALUE) port = MakePort(*pipe, c);
    }
};

std::string Frames(int count) {
    std::string bytes;
    for (int i = 0; i < count; ++i) bytes += std::string{'\x66', char(i), '\x00', char(0x66 + i)};
    return bytes;
}

TEST(PortIo, WritesReachTheFarEndWholeAndInOrder) {
    Rig rig(4096);
    ASSERT_TRUE(rig.port);
    // Quick writes: some are handed over at once, some wait behind a write under way.
    const std::string sent = Frames(200);
    for (size_t i = 0; i < sent.size(); i += 4) rig.port->Write(reinterpret_cast<const uint8_t*>(sent.data() + i), 4);
    EXPECT_EQ(FarReads(rig.pipe->peer, sent.size()), sent);
    EXPECT_EQ(rig.c.losses, 0);
}

TEST(PortIo, AWriteLeftPendingIsFinishedAndWhatCameAfterFollows) {
    Rig rig(64);
    ASSERT_TRUE(rig.port);
    Sleep(50);  // the port's thread settled in its wait: only this write's hand-over may wake it
    // More than the pipe holds: the system keeps the write pending until the peer reads.
    std::string big(20000, '\0');
    for (size_t i = 0; i < big.size(); ++i) big[i] = char('a' + i % 26);
    rig.port->Write(reinterpret_cast<const uint8_t*>(big.data()), int(big.size()));
    const std::string after = "after";
    rig.port->Write(reinterpret_cast<const uint8_t*>(after.data()), int(after.size()));
    Sleep(50);
    std::string received;
    for (int i = 0; i < 10000 && received.size() < big.size() + after.size(); ++i) {
        DWORD available = 0;
        ASSERT_TRUE(PeekNamedPipe(rig.pipe->peer, nullptr, 0, nullptr, &available, nullptr));
        if (available == 0) {
            Sleep(1);
            continue;
        }
        std::string chunk(available, '\0');
        DWORD n = 0;
        ASSERT_TRUE(ReadFile(rig.pipe->peer, chunk.data(), available, &n, nullptr));
        received.append(chunk, 0, n);
    }
    EXPECT_EQ(received.size(), big.size() + after.size());
    EXPECT_TRUE(received == big + after) << "the bytes came out of order or changed";
    // And the port goes on writing afterwards.
    const std::string more = Frames(3);
    rig.port->Write(reinterpret_cast<const uint8_t*>(more.data()), int(more.size()));
    EXPECT_EQ(FarReads(rig.pipe->peer, more.size()), more);
}

TEST(PortIo, ArrivalsAreAnnouncedOnceUntilRearmedAndReadInOrder) {
    Rig rig(4096);
    ASSERT_TRUE(rig.port);
    FarWrites(rig.pipe->peer, "abc");
    ASSERT_TRUE(Within10s([&] { return rig.c.arrivals == 1; }));
    FarWrites(rig.pipe->peer, "def");
    ASSERT_TRUE(Within10s([&] { return rig.port->Available() == 6; }));
    Sleep(20);
    EXPECT_EQ(rig.c.arrivals, 1) << "a second announcement before the first was taken";

    rig.port->Rearm();
    uint8_t buffer[8] = {};
    ASSERT_EQ(rig.port->Read(buffer, 4), 4);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 4), "abcd");
    ASSERT_EQ(rig.port->Read(buffer, 8), 2);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 2), "ef");
    EXPECT_EQ(rig.port->Read(buffer, 8), 0);

    FarWrites(rig.pipe->peer, "g");
    EXPECT_TRUE(Within10s([&] { return rig.c.arrivals == 2; }));
    EXPECT_EQ(rig.c.losses, 0);
}

TEST(PortIo, AFullInputPausesReadingUntilTheCallerTakesSome) {
    Rig rig(16384);
    ASSERT_TRUE(rig.port);
    FarWrites(rig.pipe->peer, std::string(4096, 'x'));
    ASSERT_TRUE(Within10s([&] { return rig.port->Available() == 4096; }));
    FarWrites(rig.pipe->peer, std::string(100, 'y'));
    Sleep(50);
    EXPECT_EQ(rig.port->Available(), 4096) << "read past a full input";
    std::vector<uint8_t> taken(1000);
    ASSERT_EQ(rig.port->Read(taken.data(), 1000), 1000);
    EXPECT_TRUE(Within10s([&] { return rig.port->Available() == 3196; })) << rig.port->Available();
}

TEST(PortIo, AFarEndThatGoesAwayIsReportedOnceWithItsError) {
    Rig rig(4096);
    ASSERT_TRUE(rig.port);
    CloseHandle(rig.pipe->peer);
    rig.pipe->peer = INVALID_HANDLE_VALUE;
    ASSERT_TRUE(Within10s([&] { return rig.c.losses > 0; }));
    EXPECT_EQ(rig.c.lostError, 109ul);  // ERROR_BROKEN_PIPE
    Sleep(20);
    EXPECT_EQ(rig.c.losses, 1);
}

TEST(PortIo, AWriteTheSystemRefusesIsReportedAsALostPort) {
    Rig rig(4096, GENERIC_READ);  // reads work, writes are refused
    ASSERT_TRUE(rig.port);
    Sleep(50);
    const std::string frame = Frames(1);
    rig.port->Write(reinterpret_cast<const uint8_t*>(frame.data()), int(frame.size()));
    ASSERT_TRUE(Within10s([&] { return rig.c.losses > 0; }));
    EXPECT_EQ(rig.c.lostError, 5ul);  // ERROR_ACCESS_DENIED
}

TEST(PortIo, ClosingWithAWritePendingReturnsAndFreesThePort) {
    Rig rig(64);
    ASSERT_TRUE(rig.port);
    const std::string big(20000, 'x');
    rig.port->Write(reinterpret_cast<const uint8_t*>(big.data()), int(big.size()));
    Sleep(20);
    rig.port.reset();  // the peer end never reads: the pending write is cancelled, not waited for
    EXPECT_EQ(rig.c.losses, 0);
}

}  // namespace
