#include "PortNumbering.h"

#include <filesystem>

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <map>
#include <set>

#include "Settings.h"

namespace dt {

namespace {

constexpr int kFirstOtherNumber = 97;
constexpr int kBandSize = 32;

// Digits only, without leading zeros, as the kernel names its devices.
bool ParseIndex(const std::string& text, int& out) {
    if (text.empty() || text.size() > 4) return false;
    if (!std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) return false;
    if (text.size() > 1 && text[0] == '0') return false;
    out = std::stoi(text);
    return true;
}

std::string BaseName(const std::string& path) {
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The device behind links, so a bound device is recognised under any of its names.
std::string Resolved(const std::string& path) {
    QString canonical = QFileInfo(QString::fromStdString(path)).canonicalFilePath();
    return canonical.isEmpty() ? path : canonical.toStdString();
}

// Where a ports/ link points, as a name Qt can open: its own target, or, when that is no UTF-8
// (a name Qt cannot hold), the device it finally reaches.
std::string BindingTarget(const std::string& link) {
    namespace fs = std::filesystem;
    std::error_code error;
    fs::path target = fs::read_symlink(link, error);
    if (error) return std::string();
    if (target.is_relative()) target = fs::path(link).parent_path() / target;
    const std::string text = target.lexically_normal().string();
    if (QString::fromStdString(text).toStdString() == text) return text;
    const fs::path device = fs::canonical(link, error);
    return error ? text : device.string();
}

// A port the system itself names "COM<n>" (Windows) keeps its number.
int NativeNumber(const std::string& path) {
    int n = 0;
    if (path.compare(0, 3, "COM") == 0 && ParseIndex(path.substr(3), n) && n >= 1 && n <= kMaxPortNumber) return n;
    return 0;
}

// COM number of a kernel-named device, 0 for the others (and for indexes past the band).
int AutomaticNumber(const std::string& base) {
    static const std::pair<const char*, int> kBands[] = {{"ttyUSB", 33}, {"ttyACM", 65}, {"ttyS", 1}};
    for (const auto& [prefix, first] : kBands) {
        std::string p(prefix);
        int k = 0;
        if (base.compare(0, p.size(), p) == 0 && ParseIndex(base.substr(p.size()), k))
            return k < kBandSize ? first + k : 0;
    }
    return 0;
}

std::string PlainText(const std::string& text) {
    std::string out;
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F) out += c;
    const size_t first = out.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    return out.substr(first, out.find_last_not_of(' ') - first + 1);
}

bool ContainsNoCase(const std::string& text, const std::string& part) {
    return QString::fromStdString(text).contains(QString::fromStdString(part), Qt::CaseInsensitive);
}

}  // namespace

std::string UdevNameText(const char* value) {
    std::string text = value ? value : "";
    std::replace(text.begin(), text.end(), '_', ' ');
    return text;
}

std::string AdapterName(const std::string& description, const std::string& maker) {
    const std::string d = PlainText(description);
    const std::string m = PlainText(maker);
    if (m.empty() || ContainsNoCase(d, m)) return d;
    if (d.empty()) return m;
    return d + " " + m;
}

std::string PortEntry::BoxText() const {
    const std::string name = "COM" + std::to_string(number);
    if (NativeNumber(device) == number) return adapter.empty() ? name : name + " (" + adapter + ")";
    return "COM" + std::to_string(number) + " (" + device + (adapter.empty() ? "" : ", " + adapter) + ")";
}

std::vector<PortEntry> NumberPorts(const std::vector<SerialDevice>& devices,
                                   const std::vector<PortBinding>& bindings) {
    std::vector<PortEntry> out;
    std::set<int> taken;
    std::set<std::string> listed;
    std::map<std::string, std::string> adapters;  // resolved path -> adapter name
    for (const SerialDevice& dev : devices)
        adapters.emplace(Resolved(dev.path), AdapterName(dev.description, dev.maker));

    std::vector<PortBinding> sortedBindings = bindings;
    std::sort(sortedBindings.begin(), sortedBindings.end(),
              [](const PortBinding& a, const PortBinding& b) { return a.number < b.number; });
    for (const PortBinding& b : sortedBindings) {
        if (b.number < 1 || b.number > kMaxPortNumber || taken.count(b.number)) continue;
        const std::string resolved = Resolved(b.device);
        const auto adapter = adapters.find(resolved);
        out.push_back({b.number, b.device, adapter == adapters.end() ? "" : adapter->second});
        taken.insert(b.number);
        listed.insert(resolved);
    }

    struct Candidate {
        std::string path;
        std::string base;
        int number;
        std::string adapter;
    };
    std::vector<Candidate> banded;
    std::vector<Candidate> others;
    for (const SerialDevice& dev : devices) {
        if (dev.path.empty() || !listed.insert(Resolved(dev.path)).second) continue;
        Candidate c{dev.path, BaseName(dev.path), 0, AdapterName(dev.description, dev.maker)};
        c.number = NativeNumber(dev.path) ? NativeNumber(dev.path) : AutomaticNumber(c.base);
        (c.number ? banded : others).push_back(c);
    }
    std::sort(banded.begin(), banded.end(), [](const Candidate& a, const Candidate& b) { return a.number < b.number; });
    for (Candidate& c : banded) {
        if (taken.insert(c.number).second) {
            out.push_back({c.number, c.path, c.adapter});
        } else {
            c.number = 0;  // its number is bound elsewhere: it joins the others
            others.push_back(c);
        }
    }
    std::sort(others.begin(), others.end(), [](const Candidate& a, const Candidate& b) {
        return a.base != b.base ? a.base < b.base : a.path < b.path;
    });
    int next = kFirstOtherNumber;
    for (const Candidate& c : others) {
        while (next <= kMaxPortNumber && taken.count(next)) ++next;
        if (next > kMaxPortNumber) break;
        out.push_back({next, c.path, c.adapter});
        taken.insert(next);
    }
    std::sort(out.begin(), out.end(), [](const PortEntry& a, const PortEntry& b) { return a.number < b.number; });
    return out;
}

std::vector<PortBinding> ReadPortBindings(const std::string& portsFolder) {
    std::vector<PortBinding> out;
    QDir dir(QString::fromStdString(portsFolder));
    if (portsFolder.empty() || !dir.exists()) return out;
    // System lists dangling links too; they are skipped below.
    const QStringList names = dir.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& name : names) {
        const std::string n = name.toStdString();
        if (n.size() < 4 || QString::fromStdString(n.substr(0, 3)).compare("com", Qt::CaseInsensitive) != 0) continue;
        int number = 0;
        if (!ParseIndex(n.substr(3), number) || number < 1 || number > kMaxPortNumber) continue;
        QFileInfo link(dir.filePath(name));
        if (!link.isSymLink() || !link.exists()) continue;
        out.push_back({number, BindingTarget(dir.filePath(name).toStdString())});
    }
    return out;
}

std::string DefaultPortsFolder() { return SettingsFolder(DefaultSettingsPath()) + "/ports"; }

int TakePortFromList(const std::string& boxText) {
    // Three characters, not bytes: the box text is UTF-8.
    size_t pos = 0;
    for (int chars = 0; chars < 3 && pos < boxText.size(); ++chars) {
        ++pos;
        while (pos < boxText.size() && (static_cast<unsigned char>(boxText[pos]) & 0xC0) == 0x80) ++pos;
    }
    const std::string rest = boxText.substr(pos);
    long value = std::strtol(rest.c_str(), nullptr, 10);
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

PortNumbering::PortNumbering(std::string portsFolder, DeviceLister lister)
    : portsFolder_(std::move(portsFolder)), lister_(std::move(lister)) {}

PortNumbering PortNumbering::System(const std::string& portsFolder) {
    return PortNumbering(portsFolder, SystemSerialDevices);
}

const std::vector<SerialDevice>& PortNumbering::Scan() {
    ++scans_;
    kept_ = lister_ ? lister_() : std::vector<SerialDevice>{};
    return *kept_;
}

const std::vector<SerialDevice>& PortNumbering::KeptScan() { return kept_ ? *kept_ : Scan(); }

std::vector<PortEntry> PortNumbering::Ports() { return NumberPorts(Scan(), ReadPortBindings(portsFolder_)); }

std::vector<std::string> PortNumbering::BoxEntries() {
    std::vector<std::string> texts;
    for (const PortEntry& e : Ports()) texts.push_back(e.BoxText());
    std::sort(texts.begin(), texts.end());
    return texts;
}

std::optional<PortEntry> PortNumbering::Find(const std::function<bool(const PortEntry&)>& match) {
    const std::vector<PortBinding> bindings = ReadPortBindings(portsFolder_);
    for (const PortEntry& e : NumberPorts({}, bindings))
        if (match(e)) return e;  // bound: no scan needed
    const bool fresh = !kept_;
    for (const PortEntry& e : NumberPorts(KeptScan(), bindings))
        if (match(e) && (fresh || QFileInfo::exists(QString::fromStdString(e.device)))) return e;
    if (fresh) return std::nullopt;
    // The kept scan is from an earlier action: devices may have come or gone since.
    for (const PortEntry& e : NumberPorts(Scan(), bindings))
        if (match(e)) return e;
    return std::nullopt;
}

std::string PortNumbering::DeviceFor(int number) {
    const auto e = Find([number](const PortEntry& p) { return p.number == number; });
    return e ? e->device : "";
}

int PortNumbering::NumberOf(const std::string& device) {
    const std::string wanted = Resolved(device);
    const auto e = Find([&](const PortEntry& p) { return p.device == device || Resolved(p.device) == wanted; });
    return e ? e->number : 0;
}

}  // namespace dt
