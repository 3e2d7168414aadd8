#include "VirtualController.h"

#include <algorithm>
#include <cstdio>

namespace sim {

namespace {

std::string Hex(uint8_t code) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", code);
    return text;
}

}  // namespace

std::string BlockName(int n, bool foc) {
    if (n == dt::kBlockIdentity) return "identity";
    if (n == dt::kBlockFoc && foc) return "FOC block";
    if (n >= 1 && n <= 4) return "section 3 block " + std::to_string(n - 1);
    if (n >= 8 && n <= 10) return "section 2 block " + std::to_string(n - 8);
    if (n == 11 || n == 12) return "section 1 block " + std::to_string(n - 11);
    return "unused block " + std::to_string(n);
}

VirtualController::VirtualController(const ControllerSet& factory, const ControllerBehaviour& behaviour)
    : factory_(factory), stored_(factory), working_(factory), behaviour_(behaviour) {}

Reply VirtualController::Handle(const Frame& request) {
    if (behaviour_.silentAfterRead && readDone_) {
        // Gone quiet: nothing is answered and nothing is kept.
        Reply quiet;
        quiet.request = Hex(request.code) + " L=" + std::to_string(request.payload.size()) + " (silent after the read)";
        return quiet;
    }
    Reply reply = Answer(request);
    // The last block of a read: the identity and FOC block, or section 1 block 1.
    const int lastBlock = stored_.foc ? dt::kBlockFoc : dt::kBlockLast;
    if (request.code == (dt::REQ_READ_BLOCK | lastBlock) && !reply.frame.empty()) readDone_ = true;
    return reply;
}

Reply VirtualController::Answer(const Frame& request) {
    Reply reply;
    const uint8_t code = request.code;
    const int length = static_cast<int>(request.payload.size());
    reply.request = Hex(code) + " L=" + std::to_string(length);

    if ((code & dt::kCodeGroupMask) == dt::REQ_READ_BLOCK) return ReadBlock(code & dt::kBlockNumberMask, reply);
    if ((code & dt::kCodeGroupMask) == dt::REQ_WRITE_BLOCK)
        return WriteBlock(code & dt::kBlockNumberMask, request, reply);

    switch (code) {
    case dt::REQ_CONNECT:
        reply.request += " connect";
        if (behaviour_.silent) break;
        if (zeroAnswers_ < behaviour_.answer00) {
            ++zeroAnswers_;
            reply.frame = EncodeFrame(dt::REPLY_NOT_READY);
            reply.answer = "not ready";
        } else {
            reply.frame = EncodeFrame(dt::REPLY_CONNECTED);
            reply.answer = "connected";
        }
        break;
    case dt::REQ_STORE:
        reply.request += " store";
        if (behaviour_.silent) break;
        if (behaviour_.failStore) {
            restorePending_ = false;
            reply.frame = EncodeFrame(dt::REPLY_STORE_FAILED);
            reply.answer = "store failed";
        } else if (restorePending_) {
            restorePending_ = false;
            stored_ = factory_;
            working_ = factory_;
            reply.frame = EncodeFrame(dt::REPLY_STORED);
            reply.answer = "factory set restored";
        } else {
            stored_ = working_;
            reply.frame = EncodeFrame(dt::REPLY_STORED);
            reply.answer = "stored";
        }
        break;
    case dt::REQ_RESTORE_DEFAULTS:
        reply.request += " restore defaults";
        if (behaviour_.silent) break;
        restorePending_ = true;
        reply.frame = EncodeFrame(dt::REPLY_RESTORE_ARMED);
        reply.answer = "restore armed for the next store";
        break;
    default: reply.request += " unknown request"; break;
    }
    if (!reply.frame.empty()) reply.answer = Hex(reply.frame[1]) + " L=0 " + reply.answer;
    return reply;
}

Reply VirtualController::ReadBlock(int n, Reply reply) const {
    reply.request += " read " + BlockName(n, stored_.foc);
    const uint8_t* data = nullptr;
    if (stored_.foc) {
        // An FOC controller has its identity and one parameter block, nothing else.
        if (n == 0) data = stored_.block.data();
        if (n == 1) data = stored_.focBlock.data();
    } else if (BlockOffset(n) >= 0) {
        data = stored_.block.data() + BlockOffset(n);
    }
    if (!data) {
        reply.request += " (not held, ignored)";
        return reply;
    }
    if (behaviour_.silent) return reply;
    int length = behaviour_.shortBlock ? dt::kBlockBytes / 2 : dt::kBlockBytes;
    uint8_t code = static_cast<uint8_t>(dt::REPLY_BLOCK_READ | n);
    reply.frame = EncodeFrame(code, data, length);
    reply.answer = Hex(code) + " L=" + std::to_string(length) + " " + BlockName(n, stored_.foc);
    return reply;
}

Reply VirtualController::WriteBlock(int n, const Frame& request, Reply reply) {
    reply.request += " write " + BlockName(n, working_.foc);
    uint8_t* target = nullptr;
    if (working_.foc) {
        if (n == 1) target = working_.focBlock.data();
    } else if (n != 0 && BlockOffset(n) >= 0) {
        // The identity section is never written.
        target = working_.block.data() + BlockOffset(n);
    }
    if (!target) {
        reply.request += " (not writable, ignored)";
        return reply;
    }
    if (request.payload.size() != dt::kBlockBytes) {
        reply.request += " (not 32 bytes, ignored)";
        return reply;
    }
    if (behaviour_.silent) return reply;
    if (behaviour_.dropWrite && !writeDropped_) {
        writeDropped_ = true;
        reply.request += " (acknowledged, bytes dropped)";
    } else {
        std::copy(request.payload.begin(), request.payload.end(), target);
    }
    reply.frame = EncodeFrame(request.code);
    reply.answer = Hex(request.code) + " L=0 acknowledged";
    return reply;
}

}  // namespace sim
