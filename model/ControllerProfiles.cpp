// The profiles, one a kind, and how a state, an identity or a file name finds its own.
#include <array>

#include "ControllerProfile.h"
#include "Identity.h"
#include "LinkFrame.h"
#include "ProfileImport.h"
#include "ToolState.h"

namespace dt {

namespace {

// Every kind the tool serves, in the order a nameless set is matched (largest file first).
const std::array<const ControllerProfile*, 2>& Profiles() {
    static const std::array<const ControllerProfile*, 2> all{&StandardProfile(), &FocProfile()};
    return all;
}

std::string ExtensionOf(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

}  // namespace

ImportOutcome ImportFile(ToolState& s, const std::vector<unsigned char>& content, size_t fileSize,
                         const std::function<bool(ImportOutcome&)>& take) {
    ImportOutcome out;
    out.handled = true;
    if (content.size() < fileSize) {
        out.message = MSG_IMPORT_LENGTH_ERROR;
        out.kind = MessageKind::Error;
        return out;
    }
    if (!take(out)) return out;
    s.dataValid = ParseIdentity(s);
    out.accepted = true;
    return out;
}

void AdoptKind(ToolState& s, ControllerKind kind) {
    s.kind = kind;
    s.link.identityReceived = true;
}

int ControllerProfile::WriteBlockCount() const { return PlaceOf(FirstWriteCommand() & kBlockNumberMask).count; }

const ControllerProfile& ProfileOfKind(ControllerKind kind) {
    for (const ControllerProfile* p : Profiles())
        if (p->Kind() == kind) return *p;
    return StandardProfile();
}

const ControllerProfile& ProfileOf(const ControllerImage& image) { return ProfileOfKind(image.kind); }

ControllerKind KindOfModelWord(uint16_t modelWord) {
    return modelWord == kFocModelWord ? ControllerKind::Foc : ControllerKind::Standard;
}

const ControllerProfile* ProfileOfFile(const std::string& path) {
    const std::string ext = ExtensionOf(path);
    if (ext.empty()) return nullptr;
    for (const ControllerProfile* p : Profiles())
        if (ext == p->FileExtension()) return p;
    return nullptr;
}

const ControllerProfile* ProfileOfFileAnyCase(const std::string& path) {
    std::string lower = path;
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return ProfileOfFile(lower);
}

const ControllerProfile& ProfileOfContent(size_t size) {
    const ControllerProfile* smallest = Profiles().front();
    for (const ControllerProfile* p : Profiles()) {
        if (size >= p->Facts().fileSize) return *p;
        if (p->Facts().fileSize < smallest->Facts().fileSize) smallest = p;
    }
    return *smallest;
}

}  // namespace dt
