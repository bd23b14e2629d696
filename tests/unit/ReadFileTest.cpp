#include "scene/ShaderProgram.h"
#include "support/TestPaths.h"

#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>

namespace {

class ReadFileTest : public ::testing::Test {
  protected:
    void SetUp() override { dir = makeScratchDir("readfile"); }
    std::string dir;
};

TEST_F(ReadFileTest, BytesArriveUnchangedAndTerminated) {
    const std::string crlf = "void main()\r\n{\r\n}\r\n\0tail";
    struct Case {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"empty", ""},
        {"windows line ends", crlf},
        {"no final line feed", "abc"},
    };
    for (const Case& c : cases) {
        std::string path = dir + "/" + c.name;
        ASSERT_TRUE(writeFile(path, c.bytes));
        int length = -1;
        char* text = ShaderProgram::readFile(path.c_str(), &length);
        ASSERT_NE(text, nullptr) << c.name;
        EXPECT_EQ(length, static_cast<int>(c.bytes.size())) << c.name;
        EXPECT_EQ(std::string(text, length), c.bytes) << c.name;
        EXPECT_EQ(text[length], '\0') << c.name;
        delete[] text;
    }
}

TEST_F(ReadFileTest, AnythingButAReadableRegularFileGivesNullAndKeepsTheLength) {
    std::string fifo = dir + "/fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    // A pipe without a writer would block a plain open: this must return at once.
    for (std::string path : {dir + "/missing", dir, fifo, std::string("/dev/zero")}) {
        int length = 1234;
        EXPECT_EQ(ShaderProgram::readFile(path.c_str(), &length), nullptr) << path;
        EXPECT_EQ(length, 1234) << path;
    }
}

TEST_F(ReadFileTest, BackslashNamesAreMapped) {
    ASSERT_TRUE(writeFile(dir + "/a.glsl", "x"));
    int length = 0;
    char* text = ShaderProgram::readFile((dir + "\\a.glsl").c_str(), &length);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(length, 1);
    delete[] text;
}

} // namespace
