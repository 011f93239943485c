// Raw P6 writing: the bytes written, refused calls, and a save that fails
// part-way (a full filesystem, a file size limit) leaving the old file intact,
// for the PNG writer too, which replaces files the same way.
#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

#include "img/img.h"
#include "img_test_util.h"

namespace {

using imgtest::Printed;

// A private scratch directory holding picture.ppm, removed with the fixture.
class SaveFile : public imgtest::ScratchDir {
protected:
    void SetUp() override {
        ScratchDir::SetUp();
        path_ = dir_ + "/picture.ppm";
    }
    void TearDown() override {
        if (mounted_) umount2(dir_.c_str(), MNT_DETACH);
        ScratchDir::TearDown();
    }
    std::string Read(const std::string& path) { return imgtest::ReadFile(path); }
    std::string Read() { return Read(path_); }
    std::set<std::string> Names() {
        std::set<std::string> names;
        if (DIR* d = opendir(dir_.c_str())) {
            while (const dirent* e = readdir(d)) {
                if (std::string(e->d_name) != "." && std::string(e->d_name) != "..") names.insert(e->d_name);
            }
            closedir(d);
        }
        return names;
    }
    mode_t Mode(const std::string& path) {
        struct stat st {};
        return lstat(path.c_str(), &st) == 0 ? st.st_mode : 0;
    }
    // A good 8 x 8 picture at path_ with mode 0640; gives its bytes.
    std::string SaveOld() {
        IMG* old = imgtest::MakeCounting(8, 8, 0x102030);
        EXPECT_TRUE(IMGSave(old, path_.c_str()));
        IMGFree(&old);
        EXPECT_EQ(chmod(path_.c_str(), 0640), 0);
        return Read();
    }
    // The old file unchanged and alone in the directory after a failed save.
    void ExpectOldIntact(const std::string& oldBytes) {
        EXPECT_EQ(Read(), oldBytes);
        EXPECT_EQ(Mode(path_) & 07777, 0640u);
        EXPECT_EQ(Names(), std::set<std::string>{"picture.ppm"});
    }
    std::string path_;
    bool mounted_ = false;
};

bool InCi() {
    const char* ci = std::getenv("CI");
    return ci != nullptr && std::string(ci) == "true";
}

}  // namespace

TEST_F(SaveFile, FullFilesystemLeavesTheOldFileIntact) {
    if (mount("tmpfs", dir_.c_str(), "tmpfs", 0, "size=64k") != 0) {
        if (InCi()) FAIL() << "cannot mount a tmpfs to fill (CI runs as root)";
        GTEST_SKIP() << "cannot mount a tmpfs here (not root?); the file size limit test still runs";
    }
    mounted_ = true;
    const std::string oldBytes = SaveOld();
    IMG* big = imgtest::Make(256, 256);  // 192 KiB: more than the filesystem holds
    EXPECT_EQ(Printed([&] { EXPECT_FALSE(IMGSave(big, path_.c_str())); }), "IMG error\n");
    ExpectOldIntact(oldBytes);
    IMGFree(&big);
}

TEST_F(SaveFile, FileSizeLimitLeavesTheOldFileIntact) {
    // Both savers, the PNG one with noise that does not compress below the limit.
    const struct {
        const char* name;
        bool (*save)(const IMG*, const char*);
    } savers[] = {{"IMGSave", IMGSave}, {"IMGSavePNG", IMGSavePNG}};
    for (const auto& saver : savers) {
        SCOPED_TRACE(saver.name);
        const std::string oldBytes = SaveOld();
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {  // writes beyond 16 KiB fail with EFBIG instead of a signal
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{16384, 16384};
            if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(2);
            IMG* big = imgtest::Make(256, 256);
            std::uint32_t noise = 1;
            for (std::int32_t i = 0; i < 256 * 256; ++i) big->pixels[i] = (noise = noise * 1664525u + 1013904223u) >> 8;
            _exit(saver.save(big, path_.c_str()) ? 1 : 0);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0) << "1: the save claimed success; 2: no limit could be set";
        ExpectOldIntact(oldBytes);
    }
}

TEST_F(SaveFile, ReplacesKeepingPermissionBitsAndLinksWhateverTheNameLength) {
    SaveOld();
    ASSERT_EQ(chmod(path_.c_str(), 0604), 0);
    IMG* image = imgtest::Make(1, 1, {0x0A0D1A});
    ASSERT_TRUE(IMGSave(image, path_.c_str()));
    EXPECT_EQ(Read(), std::string("P6\n1 1\n255\n\x0A\x0D\x1A", 14));
    EXPECT_EQ(Mode(path_) & 07777, 0604u);

    const mode_t mask = umask(022);  // a new file gets the usual 0666 less the umask
    const std::string fresh = dir_ + "/fresh.ppm";
    EXPECT_TRUE(IMGSave(image, fresh.c_str()));
    umask(mask);
    EXPECT_EQ(Mode(fresh) & 07777, 0644u);

    // Saving through a link replaces the file it names and keeps the link.
    const std::string link = dir_ + "/link.ppm";
    ASSERT_EQ(symlink("picture.ppm", link.c_str()), 0);
    image->pixels[0] = 0x010203;
    ASSERT_TRUE(IMGSave(image, link.c_str()));
    EXPECT_TRUE(S_ISLNK(Mode(link)));
    EXPECT_EQ(Read(), std::string("P6\n1 1\n255\n\x01\x02\x03", 14));
    EXPECT_EQ(Names(), (std::set<std::string>{"fresh.ppm", "link.ppm", "picture.ppm"}));

    EXPECT_TRUE(IMGSave(image, "/dev/null"));  // a device is written in place

    // A name of 250 bytes, near the longest a folder holds, is saved and
    // then replaced: the temporary file beside it has a short name of its own.
    const std::string longName = std::string(246, 'n') + ".ppm";
    const std::string longPath = dir_ + "/" + longName;
    EXPECT_TRUE(IMGSave(image, longPath.c_str()));
    EXPECT_TRUE(IMGSave(image, longPath.c_str()));
    EXPECT_EQ(Read(longPath), std::string("P6\n1 1\n255\n\x01\x02\x03", 14));
    EXPECT_EQ(Names(), (std::set<std::string>{"fresh.ppm", "link.ppm", "picture.ppm", longName}));
    IMGFree(&image);
}

TEST_F(SaveFile, WritesHeaderAndThreeBytesPerPixelAndLoadsBack) {
    IMG* image = IMGNew();
    IMGResize(image, 1, 1);
    image->pixels[0] = 0xFF0A0D1A;  // top byte is not written
    ASSERT_TRUE(IMGSave(image, path_.c_str()));
    EXPECT_EQ(Read(), std::string("P6\n1 1\n255\n\x0A\x0D\x1A", 14));

    IMGResize(image, 7, 3);
    for (int i = 0; i < 21; ++i) image->pixels[i] = static_cast<std::uint32_t>(i * 0x0A0B0D) & 0xFFFFFF;
    image->pixels[4] = 0x0A0D0A;  // newline and return bytes pass untranslated
    ASSERT_TRUE(IMGSave(image, path_.c_str()));
    IMG* back = IMGLoad(path_.c_str());
    ASSERT_NE(back, nullptr);
    EXPECT_TRUE(IMGEqual(image, back));
    IMGFree(&back);

    IMGResize(image, 0, 3);
    EXPECT_EQ(Printed([&] { EXPECT_FALSE(IMGSave(image, path_.c_str())); }), "IMG error\n");
    IMGResize(image, 2, 2);
    EXPECT_EQ(Printed([&] { EXPECT_FALSE(IMGSave(image, nullptr)); }), "IMG error\n");
    EXPECT_EQ(Printed([] { EXPECT_FALSE(IMGSave(nullptr, "/tmp/x")); }), "IMG error\n");
    EXPECT_EQ(Printed([&] { EXPECT_FALSE(IMGSave(image, (dir_ + "/no/such/dir.ppm").c_str())); }), "IMG error\n");
    IMGFree(&image);
}

TEST(Save, WriteErrorIsReportedAsFailure) {
    if (access("/dev/full", W_OK) != 0) {
        if (InCi()) FAIL() << "/dev/full is not available";
        GTEST_SKIP() << "/dev/full is not available";
    }
    IMG* image = IMGNew();
    IMGResize(image, 64, 64);
    EXPECT_EQ(Printed([&] { EXPECT_FALSE(IMGSave(image, "/dev/full")); }), "IMG error\n");
    IMGFree(&image);
}
