// Export and import through the host's file choice: formats, identity match, lengths, and an
// export that fails without touching the file already there.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <unistd.h>

#include "LinkTestSupport.h"
#include "../model/WriteFailure.h"
#include "ParameterFileCommands.h"

using namespace dt;
using namespace dt::test;
using dt::test::FileSizeLimit;

namespace {

Bytes ReadFile(const std::string& path) {
    QFile f(QString::fromStdString(path));
    if (!f.open(QIODevice::ReadOnly)) return {};
    QByteArray data = f.readAll();
    return Bytes(data.begin(), data.end());
}

void WriteFile(const std::string& path, const Bytes& bytes) {
    QFile f(QString::fromStdString(path));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
}

// A .foc image: identity block of the given ModelWord, a pattern everywhere else.
Bytes FocImage(uint16_t modelWord, size_t size = 1024, uint16_t kindVariant = 0x0C12) {
    Bytes image(size);
    for (size_t i = 0; i < size; ++i) image[i] = static_cast<uint8_t>(i * 7 + 1);
    Bytes id = IdentityBlock(modelWord, kindVariant);
    std::copy(id.begin(), id.end(), image.begin());
    return image;
}

struct Files {
    QTemporaryDir dir;
    ToolState state;
    RecordingHost host;
    ParameterFileCommands files{state, host};

    Files() { files.SetSheetView(&host); }

    std::string Path(const char* name) const { return dir.filePath(name).toStdString(); }
    // The state as after reading a controller of this identity.
    void ReadController(uint16_t modelWord) {
        Bytes image = FocImage(modelWord);
        std::copy(image.begin(), image.end(), state.block.bytes.begin());
        state.dataValid = ParseIdentity(state);
        SelectFunctionVariant(state);
    }
};

using Messages = std::vector<std::pair<std::string, MessageKind>>;

}  // namespace

TEST(ParameterFileCommands, ExportBeforeAnyReadWritesZeros) {
    Files t;
    t.host.saveChoice = t.Path("empty.foc");
    t.files.Export(t.host);
    EXPECT_EQ(t.host.dialogArgs, (std::vector<std::string>{"Export the parameters to a file", "DriveTune file(*.foc)", "foc"}));
    EXPECT_EQ(ReadFile(t.host.saveChoice), Bytes(1024, 0));
    EXPECT_EQ(t.host.messages, (Messages{{"Export file successfully", MessageKind::Info}}));
}

TEST(ParameterFileCommands, FocControllerExportsItsBlockAsGed) {
    Files t;
    t.state.kind = ControllerKind::Foc;
    for (int i = 0; i < 32; ++i) t.state.foc.SetByte(i, static_cast<uint8_t>(100 + i));
    t.host.saveChoice = t.Path("foc.ged");
    t.files.Export(t.host);
    EXPECT_EQ(t.host.dialogArgs, (std::vector<std::string>{"Export the parameters to a file", "DriveTune file(*.ged)", "ged"}));
    EXPECT_EQ(ReadFile(t.host.saveChoice), Bytes(t.state.foc.bytes.begin(), t.state.foc.bytes.end()));
}

TEST(ParameterFileCommands, CancelledChoicesDoNothing) {
    Files t;
    t.files.Export(t.host);
    t.files.Import(t.host);
    EXPECT_TRUE(t.host.calls.empty());
    EXPECT_EQ(t.host.dialogArgs, (std::vector<std::string>{"Import parameters from a file", "DriveTune file(*.foc)"}));
}

TEST(ParameterFileCommands, ExportThenImportWithTheSameController) {
    Files t;
    t.ReadController(0x04D2);
    const auto before = t.state.block.bytes;
    ASSERT_TRUE(t.files.ExportTo(t.Path("kept.foc")));
    t.state.block.bytes[600] ^= 0xFF;  // edited since
    t.host.Clear();

    t.host.openChoice = t.Path("kept.foc");
    t.files.Import(t.host);
    EXPECT_EQ(t.host.Steps(), (std::vector<std::string>{"ShowValues", "Message(Import file successfully,info)"}));
    EXPECT_EQ(t.state.block.bytes, before);
}

TEST(ParameterFileCommands, FocImportRules) {
    struct Case {
        const char* name;
        const char* file;
        Bytes content;
        bool readFirst;  // a controller of ModelWord 0x04D2 was read before
        Messages messages;
        bool changes;
    };
    const Messages ok = {{"Import file successfully", MessageKind::Info}};
    const Messages mismatch = {{"File does not match with the controller", MessageKind::Warning}};
    const Messages shortFile = {{"Unable to import, file length error", MessageKind::Error}};
    const Case cases[] = {
        {"same identity", "a.foc", FocImage(0x04D2), true, ok, true},
        {"other controller", "b.foc", FocImage(0x04D2, 1024, 0x0C10), true, mismatch, false},
        {"ModelWord compared by its variant only", "g.foc", FocImage(0x04D3), true, ok, true},
        {"other function variant", "h.foc", FocImage(0x0539), true,
         {{"File does not match with the controller\nThe file is of function variant B; the controller is of variant A",
           MessageKind::Warning}},
         false},
        {"nothing read yet", "c.foc", FocImage(0x0539), false, ok, true},
        {"1023 bytes", "d.foc", FocImage(0x04D2, 1023), true, shortFile, false},
        {"2000 bytes", "e.foc", FocImage(0x04D2, 2000), true, ok, true},
        {"capital extension", "params.FOC", FocImage(0x04D2), true, {}, false},
        {"other extension", "f.txt", FocImage(0x04D2), true, {}, false},
    };
    for (const Case& c : cases) {
        Files t;
        if (c.readFirst) t.ReadController(0x04D2);
        const auto before = t.state.block.bytes;
        WriteFile(t.Path(c.file), c.content);
        t.files.ImportFrom(t.Path(c.file));
        EXPECT_EQ(t.host.messages, c.messages) << c.name;
        if (c.changes) {
            EXPECT_TRUE(std::equal(t.state.block.bytes.begin(), t.state.block.bytes.end(), c.content.begin())) << c.name;
            EXPECT_EQ(t.host.Steps().front(), "ShowValues") << c.name;
        } else {
            EXPECT_EQ(t.state.block.bytes, before) << c.name;
            EXPECT_EQ(std::count(t.host.calls.begin(), t.host.calls.end(), "ShowValues"), 0) << c.name;
        }
    }
}

TEST(ParameterFileCommands, GedImportRules) {
    Files t;
    t.ReadController(0x04D2);
    WriteFile(t.Path("short.ged"), Bytes(31, 0x42));
    t.files.ImportFrom(t.Path("short.ged"));
    EXPECT_EQ(t.host.messages, (Messages{{"Unable to import, file length error", MessageKind::Error}}));
    EXPECT_EQ(t.state.foc.bytes, FocBlock().bytes);

    t.host.Clear();
    WriteFile(t.Path("long.ged"), Bytes(40, 0x42));
    t.files.ImportFrom(t.Path("long.ged"));
    EXPECT_EQ(t.host.Steps(), (std::vector<std::string>{"RebuildGroupTree", "ShowValues", "Message(Import file successfully,info)"}));
    EXPECT_EQ(Bytes(t.state.foc.bytes.begin(), t.state.foc.bytes.end()), Bytes(32, 0x42));
}

TEST(ParameterFileCommands, UnopenableFiles) {
    Files t;
    t.files.ImportFrom(t.Path("missing.foc"));
    t.files.ExportTo(t.Path("no-such-folder/x.foc"));
    EXPECT_EQ(t.host.messages, (Messages{{"Unable to import, fail to open the file", MessageKind::Error},
                                         {"Unable to export, fail to open the file", MessageKind::Error}}));
}

// A failed export leaves the earlier file whole. Without write permission on the folder (not
// effective for root) and with a name so long that no temporary file can sit beside it.
TEST(ParameterFileCommands, FailedExportKeepsTheExistingFile) {
    Files t;
    t.ReadController(0x04D2);
    const Bytes old = Bytes(1024, 0x5A);

    // A name of the full 255 bytes is replaced like any other (its temporary name is short).
    const std::string longName = t.Path((std::string(251, 'p') + ".foc").c_str());
    WriteFile(longName, old);
    EXPECT_TRUE(t.files.ExportTo(longName));
    EXPECT_EQ(ReadFile(longName).size(), 1024u);
    EXPECT_NE(ReadFile(longName), old);
    t.host.messages.clear();

    if (geteuid() != 0) {
        QDir(t.dir.path()).mkdir("locked");
        const std::string locked = t.Path("locked/old.foc");
        WriteFile(locked, old);
        QFile::setPermissions(t.dir.filePath("locked"), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        EXPECT_FALSE(t.files.ExportTo(locked));
        EXPECT_EQ(ReadFile(locked), old);
        QFile::setPermissions(t.dir.filePath("locked"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    // A write that runs out of room (as on a full disk) is caught before anything is replaced.
    const std::string kept = t.Path("keep.foc");
    WriteFile(kept, old);
    {
        FileSizeLimit limit(100);
        EXPECT_FALSE(t.files.ExportTo(kept));
        EXPECT_FALSE(t.files.ExportTo(t.Path("new.foc")));
    }
    EXPECT_EQ(t.files.LastError(), "File too large");
    EXPECT_EQ(ReadFile(kept), old);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(t.Path("new.foc"))));
    EXPECT_EQ(QDir(t.dir.path()).entryList(QDir::Files).size(), 2) << "no temporary file is left";
    for (const auto& m : t.host.messages)
        EXPECT_EQ(m, std::make_pair(std::string("Unable to export, fail to open the file"), MessageKind::Error));
    EXPECT_TRUE(t.files.ExportTo(kept));
    EXPECT_EQ(t.host.LastMessage(), "Export file successfully");
}

TEST(ParameterFileCommands, AFolderIsNoParameterFile) {
    Files t;
    t.ReadController(0x04D2);
    QDir(t.dir.path()).mkdir("x.foc");
    const auto before = t.state.block.bytes;
    EXPECT_FALSE(t.files.ImportFrom(t.Path("x.foc")));
    EXPECT_EQ(t.files.LastError(), "Is a directory");
    EXPECT_EQ(t.host.LastMessage(), "Unable to import, fail to open the file");
    EXPECT_TRUE(t.state.block.bytes == before);
    EXPECT_FALSE(t.files.ExportTo(t.Path("x.foc")));
    EXPECT_EQ(t.host.LastMessage(), "Unable to export, fail to open the file");
    EXPECT_TRUE(QFileInfo(t.dir.filePath("x.foc")).isDir());
}

TEST(ParameterFileCommands, DialogFilterFromThePairForm) {
    struct Case { const char* pairs; const char* filter; };
    for (const Case& c : {Case{"DriveTune file(*.foc)|*.foc||", "DriveTune file(*.foc)"},
                          Case{"DriveTune文件(*.foc)|*.foc||", "DriveTune文件(*.foc)"},
                          Case{"Parameters|*.foc||", "Parameters (*.foc)"},
                          Case{"A|*.a|B (*.b)|*.b||", "A (*.a);;B (*.b)"}})
        EXPECT_EQ(DialogFilter(c.pairs), c.filter) << c.pairs;
}
