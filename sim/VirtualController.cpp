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
    const int lastBlock = stored_.LastReadBlock();
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
    reply.request += " read " + stored_.BlockName(n);
    const uint8_t* data = stored_.ReadData(n);
    if (!data) {
        reply.request += " (not held, ignored)";
        return reply;
    }
    if (behaviour_.silent) return reply;
    int length = behaviour_.shortBlock ? dt::kBlockBytes / 2 : dt::kBlockBytes;
    uint8_t code = static_cast<uint8_t>(dt::REPLY_BLOCK_READ | n);
    reply.frame = EncodeFrame(code, data, length);
    reply.answer = Hex(code) + " L=" + std::to_string(length) + " " + stored_.BlockName(n);
    return reply;
}

Reply VirtualController::WriteBlock(int n, const Frame& request, Reply reply) {
    reply.request += " write " + working_.BlockName(n);
    uint8_t* target = working_.WriteTarget(n);
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
