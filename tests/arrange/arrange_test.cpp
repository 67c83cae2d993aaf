// kalvane-arrange run as a user runs it: on folders of files, through its
// exit status, its output and the files it leaves on disk.
#include <fcntl.h>
#include <fnmatch.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <random>

#include "arrange/glob_match.h"
#include "arrange/unified_diff.h"

#include "document/source_document.h"
#include "tests/temp_folder.h"
#include "toolkit/memory/memory_driver.h"

namespace fs = std::filesystem;
using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;

extern char** environ;

namespace {

#if defined(__has_feature)
constexpr bool kSanitized =
    __has_feature(address_sanitizer) || __has_feature(thread_sanitizer);
#else
constexpr bool kSanitized = false;
#endif

struct Outcome {
  int status = -1;
  std::string out, err;
};

class ArrangeTest : public ::testing::Test {
 protected:
  // Runs the tool in the folder with `args`, standard input from `input`;
  // `merged` sends standard error to standard output, as logs take them.
  Outcome Run(std::vector<std::string> args, const std::string& input = "",
              bool merged = false) {
    const std::string in = folder.File(".in"), out = folder.File(".out"),
                      err = folder.File(".err");
    WriteFileBytes(in, input);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, in.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (merged) posix_spawn_file_actions_adddup2(&actions, 1, 2);
    args.insert(args.begin(), KALVANE_ARRANGE);
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    const std::string here = fs::current_path();
    fs::current_path(folder.path());
    const int spawned =
        posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    fs::current_path(here);
    posix_spawn_file_actions_destroy(&actions);
    Outcome outcome;
    int raw = 0;
    if (spawned == 0 && waitpid(pid, &raw, 0) == pid && WIFEXITED(raw)) {
      outcome.status = WEXITSTATUS(raw);
    }
    outcome.out = ReadFileBytes(out);
    outcome.err = ReadFileBytes(err);
    for (const auto& name : {in, out, err}) fs::remove(name);
    return outcome;
  }

  std::string Data(const std::string& name) {
    return ReadFileBytes(std::string(KALVANE_DATA) + "/" + name);
  }
  void Put(const std::string& name, const std::string& bytes) {
    fs::create_directories(fs::path(folder.File(name)).parent_path());
    ASSERT_TRUE(WriteFileBytes(folder.File(name), bytes));
  }
  std::string Get(const std::string& name) {
    return ReadFileBytes(folder.File(name));
  }

  // What kalvane's Load then Save write for the file at `source`, through
  // the document and the in-memory list the GUI tests use; saved aside, as
  // the source may lie in a folder the test cannot write.
  std::string LoadThenSave(const std::string& source, std::string& problem) {
    tovi::memory::Reset();
    HWND window = ToviNewWindow(nullptr, "", -1, -1, 1, 1, 0, 0, nullptr, 0);
    SourceDocument doc;
    EXPECT_EQ(LoadSource(doc, ToviAddListBox(window, 0, 0, 4), source), kTrue);
    problem = doc.problem;
    EXPECT_EQ(SaveSource(doc, folder.File(".saved")), kTrue);
    return ReadFileBytes(folder.File(".saved"));
  }

  // shuffled.ost grown past a mebibyte: the tool maps such a file rather
  // than reading it.
  std::string Large() {
    std::string large = Data("shuffled.ost");
    std::string body;
    for (int i = 0; i < 60000; ++i) body += "  Alpha = Alpha + 1\n";
    return large.insert(large.find("END FUNCTION"), body);
  }

  testing_support::TempFolder folder{"kalvane-arrange-"};
};

TEST_F(ArrangeTest, ModesStatusesAndTheFilesTheyLeave) {
  std::string problem;
  const std::string arranged =
      LoadThenSave(std::string(KALVANE_DATA) + "/shuffled.ost", problem);
  Put("tree/ordered.ost", Data("ordered.ost"));
  Put("tree/sub/shuffled.OST", Data("shuffled.ost"));
  Put("tree/Größe/ünordnung.ost", Data("shuffled.ost"));
  Put("tree/.hidden/shuffled.ost", Data("shuffled.ost"));
  Put("tree/notes.txt", Data("shuffled.ost"));
  fs::create_directory_symlink("..", folder.File("tree/sub/loop"));
  const auto old = fs::last_write_time(folder.File("tree/ordered.ost")) -
                   std::chrono::hours(1);
  fs::last_write_time(folder.File("tree/ordered.ost"), old);

  const std::string names = "tree/Größe/ünordnung.ost\ntree/sub/shuffled.OST\n";
  for (const char* jobs : {"1", "3"}) {
    const Outcome check = Run({"--check", "--jobs", jobs, "tree"});
    EXPECT_EQ(check.status, 1);
    EXPECT_EQ(check.out, names);
    EXPECT_EQ(check.err, "2 files would be arranged, 1 unchanged, 0 refused\n");
  }
  EXPECT_EQ(Run({"--check", "--quiet", "tree"}).err, "");

  const Outcome diff = Run({"--diff", "tree/sub/shuffled.OST"});
  EXPECT_EQ(diff.status, 1);
  EXPECT_EQ(diff.out.rfind("--- tree/sub/shuffled.OST\n"
                           "+++ tree/sub/shuffled.OST\n@@ -",
                           0),
            0u)
      << diff.out;
  EXPECT_EQ(Get("tree/sub/shuffled.OST"), Data("shuffled.ost"));
  // The diff is one that patch applies to give what a write would.
  WriteFileBytes(folder.File("diff"), diff.out);
  EXPECT_EQ(
      std::system(("cd '" + folder.path().string() + "' && patch -s -p0 < diff")
                      .c_str()),
      0);
  EXPECT_EQ(Get("tree/sub/shuffled.OST"), arranged);

  const Outcome write = Run({"tree"});
  EXPECT_EQ(write.status, 0);
  EXPECT_EQ(write.err, "1 file arranged, 2 unchanged, 0 refused\n");
  EXPECT_EQ(Get("tree/Größe/ünordnung.ost"), arranged);
  EXPECT_EQ(Get("tree/.hidden/shuffled.ost"), Data("shuffled.ost"));
  EXPECT_EQ(Get("tree/notes.txt"), Data("shuffled.ost"));
  EXPECT_EQ(fs::last_write_time(folder.File("tree/ordered.ost")), old);
  EXPECT_EQ(Run({"--check", "tree"}).status, 0);
  EXPECT_EQ(Run({"--diff", "tree"}).out, "");

  // A refused file among good ones is named, left alone, and fails the run;
  // the others are still arranged.
  Put("tree/sub/shuffled.OST", Data("shuffled.ost"));
  Put("tree/bad.ost", Data("second_body.ost"));
  const Outcome refused = Run({"tree", "missing.ost"});
  EXPECT_EQ(refused.status, 3);
  EXPECT_EQ(refused.err,
            "tree/bad.ost:8: error: the function alpha has a second body.\n"
            "missing.ost:1: error: no such file or folder\n"
            "1 file arranged, 2 unchanged, 2 refused\n");
  EXPECT_EQ(Get("tree/bad.ost"), Data("second_body.ost"));
  EXPECT_EQ(Get("tree/sub/shuffled.OST"), arranged);
  EXPECT_EQ(Run({"--check", "tree"}).status, 3);

  // A file is one file by whatever names it is reached.
  Put("links/a.ost", Data("shuffled.ost"));
  fs::create_hard_link(folder.File("links/a.ost"), folder.File("links/b.ost"));
  fs::create_directory_symlink(".", folder.File("links/self"));
  const Outcome links = Run({"--check", "links", "links/self/b.ost"});
  EXPECT_EQ(links.out, "links/a.ost\n");
  EXPECT_EQ(links.err, "1 file would be arranged, 0 unchanged, 0 refused\n");
}

TEST_F(ArrangeTest, StandardInputToStandardOutput) {
  std::string problem;
  const Outcome good = Run({"-"}, Data("shuffled.ost"));
  EXPECT_EQ(good.status, 0);
  EXPECT_EQ(good.out,
            LoadThenSave(std::string(KALVANE_DATA) + "/shuffled.ost", problem));
  // What cannot be arranged passes through as it came.
  const Outcome bad = Run({"-"}, Data("second_body.ost"));
  EXPECT_EQ(bad.status, 3);
  EXPECT_EQ(bad.out, Data("second_body.ost"));
  EXPECT_EQ(bad.err.rfind("<stdin>:8: error: ", 0), 0u) << bad.err;
  EXPECT_EQ(Run({"--check", "-"}, Data("shuffled.ost")).out, "<stdin>\n");
}

// A filter's output is all an editor gets back: the file, never a summary,
// and on every failure after reading the very bytes it was given.
TEST_F(ArrangeTest, FilterNeverLosesItsInput) {
  const Outcome good = Run({"-"}, Data("shuffled.ost"), true);
  EXPECT_EQ(good.out, Run({"-"}, Data("shuffled.ost")).out);
  EXPECT_EQ(good.err, "");
  EXPECT_EQ(Run({"-", "--sort"}, Data("second_body.ost"), true).out,
            Data("second_body.ost") +
                "<stdin>:8: error: the function alpha has a second body.\n");

  const std::string run = "cd '" + folder.path().string() + "' && ";
  const auto status = [](int raw) {
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  };
  EXPECT_EQ(status(std::system(
                (run + KALVANE_ARRANGE " - < . > out 2> err").c_str())),
            3);
  EXPECT_EQ(Get("out"), "");
  EXPECT_EQ(Get("err"), "<stdin>:1: error: cannot read standard input\n");
  if (kSanitized) GTEST_SKIP() << "a sanitizer needs more address space";
  // Memory running out while the input is read, and while it is arranged.
  std::string lines;
  for (int i = 0; i < 10'000'000; ++i) lines += "x\n";
  Put("lines", lines);
  for (const char* limit : {"40000", "150000"}) {
    const std::string command = run + "ulimit -v " + limit + " && " +
                                KALVANE_ARRANGE
                                " --jobs 1 - < lines > out 2> err";
    EXPECT_EQ(status(std::system(command.c_str())), 3) << limit;
    EXPECT_TRUE(Get("out") == lines) << limit;
    EXPECT_EQ(Get("err"),
              "<stdin>:1: error: not enough memory to arrange the file\n");
  }
}

// Logs take both streams in one: each file's lines in path order, the
// summary last.
TEST_F(ArrangeTest, MergedStreamsKeepPathOrder) {
  Put("log/a.ost", Data("shuffled.ost"));
  Put("log/b.ost", Data("second_body.ost"));
  Put("log/c.ost", Data("shuffled.ost"));
  EXPECT_EQ(
      Run({"--check", "--jobs", "3", "log"}, "", true).out,
      "log/a.ost\nlog/b.ost:8: error: the function alpha has a second body.\n"
      "log/c.ost\n2 files would be arranged, 0 unchanged, 1 refused\n");
}

TEST_F(ArrangeTest, FilesThatCannotBeReadOrWritten) {
  Put("pipe/dangling.ost", "");
  fs::remove(folder.File("pipe/dangling.ost"));
  fs::create_symlink("nowhere.ost", folder.File("pipe/dangling.ost"));
  ASSERT_EQ(mkfifo(folder.File("pipe/fifo.ost").c_str(), 0600), 0);
  const Outcome pipes = Run({"pipe"});
  EXPECT_EQ(pipes.status, 3);
  EXPECT_EQ(pipes.err,
            "pipe/dangling.ost:1: error: cannot read the file\n"
            "pipe/fifo.ost:1: error: cannot read the file\n"
            "0 files arranged, 0 unchanged, 2 refused\n");
  if (geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";

  Put("locked/unreadable.ost", Data("ordered.ost"));
  fs::permissions(folder.File("locked/unreadable.ost"), fs::perms::none);
  EXPECT_EQ(Run({"locked"}).err,
            "locked/unreadable.ost:1: error: cannot read the file\n"
            "0 files arranged, 0 unchanged, 1 refused\n");
  Put("readonly/shuffled.ost", Data("shuffled.ost"));
  fs::permissions(folder.File("readonly"),
                  fs::perms::owner_read | fs::perms::owner_exec);
  const Outcome readOnly = Run({"readonly"});
  EXPECT_EQ(readOnly.status, 3);
  EXPECT_EQ(
      readOnly.err.rfind("readonly/shuffled.ost:1: error: cannot write", 0),
      0u);
  EXPECT_EQ(Get("readonly/shuffled.ost"), Data("shuffled.ost"));
  EXPECT_EQ(std::distance(fs::directory_iterator(folder.File("readonly")), {}),
            1);
  fs::permissions(folder.File("readonly"), fs::perms::owner_all);
}

TEST_F(ArrangeTest, FileSavedElsewhereMeanwhileIsLeftAlone) {
  // Another program saves a file between its reading and its replacement:
  // its bytes stay, and the other files are still arranged. A file of more
  // than a mebibyte is arranged from its mapped bytes, which show the other
  // program's change: whether it shortened the file (the lost pages must
  // not end the run) or wrote into it and put its time back.
  const std::string large = Large();
  struct Case {
    std::string bytes;
    bool inPlace;
    std::string expected;
  };
  const std::string edit = "' saved elsewhere\n";
  for (const Case& race :
       {Case{Data("shuffled.ost"), false, edit}, Case{large, false, edit},
        Case{large, true, edit + large.substr(edit.size())}}) {
    Put("race/a.ost", race.bytes);
    Put("race/b.ost", Data("shuffled.ost"));
    setenv("LD_PRELOAD", SECOND_WRITER, 1);
    setenv("SECOND_WRITER_PATH", folder.File("race/a.ost").c_str(), 1);
    setenv("SECOND_WRITER_BYTES", edit.c_str(), 1);
    if (race.inPlace) setenv("SECOND_WRITER_IN_PLACE", "1", 1);
    const Outcome outcome = Run({"--jobs", "1", "race"});
    for (const char* name : {"LD_PRELOAD", "SECOND_WRITER_PATH",
                             "SECOND_WRITER_BYTES", "SECOND_WRITER_IN_PLACE"}) {
      unsetenv(name);
    }
    EXPECT_EQ(outcome.status, 3);
    EXPECT_EQ(outcome.err,
              "race/a.ost:1: error: the file changed while being arranged\n"
              "1 file arranged, 0 unchanged, 1 refused\n");
    EXPECT_EQ(Get("race/a.ost"), race.expected);
    EXPECT_NE(Get("race/b.ost"), Data("shuffled.ost"));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.File("race")), {}),
              2);
  }
}

// Every sample and test file comes out as kalvane's Load then Save write it,
// byte for byte; a file the document refuses stays as it was.
TEST_F(ArrangeTest, SameBytesAsLoadThenSave) {
  std::vector<std::pair<std::string, std::string>> expected;
  for (const char* source : {KALVANE_DATA, KALVANE_EXAMPLES}) {
    for (const auto& entry : fs::directory_iterator(source)) {
      const std::string name = entry.path().filename().string();
      std::string problem;
      const std::string saved = LoadThenSave(entry.path().string(), problem);
      Put("all/" + name, ReadFileBytes(entry.path().string()));
      expected.emplace_back(name, problem.empty() ? saved : Get("all/" + name));
    }
  }
  ASSERT_GT(expected.size(), 10u);
  Put("large.ost", Large());
  std::string problem;
  expected.emplace_back("large.ost",
                        LoadThenSave(folder.File("large.ost"), problem));
  Put("all/large.ost", Large());
  Run({"--jobs", "2", "all"});
  for (const auto& [name, bytes] : expected) {
    EXPECT_EQ(Get("all/" + name), bytes) << name;
  }

  // Many threads saving at once (make tsan watches them for races).
  for (int i = 0; i < 1000; ++i) {
    Put("many/" + std::to_string(i % 10) + "/" + std::to_string(i) + ".ost",
        Data("shuffled.ost"));
  }
  const Outcome many = Run({"--jobs", "8", "many"});
  EXPECT_EQ(many.status, 0) << many.err;
  EXPECT_EQ(many.err, "1000 files arranged, 0 unchanged, 0 refused\n");
  EXPECT_EQ(Get("many/9/999.ost"), Get("all/shuffled.ost"));
}

// Every diff applies with patch and with git apply and gives what a write
// gives: lines end at LF only (a lone CR stays inside its line), and names
// with spaces, tabs, quotes or backslashes are quoted.
TEST_F(ArrangeTest, DiffAlwaysApplies) {
  const std::string lf = Data("shuffled.ost");
  std::string cr = lf, crlf;
  std::replace(cr.begin(), cr.end(), '\n', '\r');
  for (const char c : lf)
    crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  const std::vector<std::pair<std::string, std::string>> files = {
      {"with space.ost", lf},
      {"tab\there.ost", crlf},
      {"quote\"back\\slash.ost", cr},
      {"mixed.ost", crlf.substr(0, crlf.size() / 2) + cr.substr(cr.size() / 2)},
      {"no end.ost", lf + "' trailing comment"}};
  for (const auto& [name, bytes] : files) Put("w/" + name, bytes);
  Run({"w"});
  for (const char* apply : {"patch -s -p0 <", "git apply -p0"}) {
    for (const auto& [name, bytes] : files) Put("d/" + name, bytes);
    const Outcome diff = Run({"--diff", "d"});
    EXPECT_EQ(diff.status, 1) << diff.err;
    EXPECT_NE(diff.out.find("+++ \"d/tab\\there.ost\"\n"), std::string::npos);
    Put("diff", diff.out);
    EXPECT_EQ(std::system(
                  ("cd '" + folder.path().string() + "' && " + apply + " diff")
                      .c_str()),
              0)
        << apply << "\n"
        << diff.out;
    for (const auto& [name, bytes] : files) {
      EXPECT_EQ(Get("d/" + name), Get("w/" + name)) << apply << " " << name;
    }
  }
}

// Random pairs of files, of few distinct lines (so that the diff has few
// anchors) and every kind of line end, and one pair whose shortest edit is
// too long to search: patch turns the first of each into the second.
TEST_F(ArrangeTest, DiffOfRandomFilesApplies) {
  std::mt19937 random(20);
  const auto pick = [&](int n) { return static_cast<int>(random() % n); };
  const char* lines[] = {"a\n", "b\n", "c\r\n", "d\re\n", "\n", "f"};
  const auto file = [&](int count) {
    std::string bytes;
    for (int i = 0; i < count; ++i) bytes += lines[pick(5)];
    return pick(4) == 0 ? bytes + lines[5] : bytes;
  };
  std::vector<std::pair<std::string, std::string>> pairs;
  for (int i = 0; i < 100; ++i) {
    std::string before = file(pick(40)), after = before;
    for (int edits = pick(6); edits > 0; --edits) {
      const size_t at = after.empty() ? 0 : random() % after.size();
      if (pick(2)) {
        after.insert(at, file(pick(8)));
      } else {
        after.erase(at, static_cast<size_t>(pick(12)));
      }
    }
    pairs.emplace_back(before, after);
  }
  pairs.emplace_back(file(3000), file(3000));
  for (const auto& [before, after] : pairs) {
    if (before == after) continue;
    Put("f", before);
    Put("diff", UnifiedDiff("f", before, after));
    ASSERT_EQ(std::system(("cd '" + folder.path().string() +
                           "' && patch -s -p0 < diff > /dev/null 2>&1")
                              .c_str()),
              0)
        << Get("diff");
    ASSERT_EQ(Get("f"), after) << Get("diff");
  }
}

TEST_F(ArrangeTest, SortPutsNamesInNaturalOrderFirst) {
  const std::string file =
      "DECLARE FUNCTION Item10 ()\nDECLARE FUNCTION item2 ()\n"
      "FUNCTION Item10 ()\nEND FUNCTION\nFUNCTION item2 ()\nEND FUNCTION\n";
  Put("sorted.ost", file);
  EXPECT_EQ(Run({"--check", "sorted.ost"}).status, 0);
  EXPECT_EQ(Run({"--check", "--sort", "sorted.ost"}).status, 1);
  EXPECT_EQ(Run({"--sort", "sorted.ost"}).status, 0);
  EXPECT_EQ(Get("sorted.ost"),
            "DECLARE FUNCTION item2 ()\nDECLARE FUNCTION Item10 ()\n"
            "FUNCTION item2 ()\nEND FUNCTION\nFUNCTION Item10 ()\n"
            "END FUNCTION\n");
  EXPECT_EQ(Run({"--check", "--sort", "sorted.ost"}).status, 0);
  // Names in any bytes sort as kalvane sorts them (the same two files as
  // the scenario kalvane_sort_by_bytes).
  Put("odd.ost", Data("odd_names.ost"));
  EXPECT_EQ(Run({"--sort", "odd.ost"}).status, 0);
  EXPECT_EQ(Get("odd.ost"), Data("odd_names_sorted.ost"));
}

// Bodies without declarations (as dialects that need no DECLARE write them)
// and a tokenized binary save are left byte for byte and pass every mode;
// --verbose tells each file's fate in file order on standard error.
TEST_F(ArrangeTest, NothingToArrangeIsNoError) {
  const std::string bodies =
      "SUB Main\nEND SUB\nFUNCTION Twice (x)\nEND FUNCTION\nFUNCTION Open ()";
  const std::string binary = "\xFC" + std::string(40, '\0') + "FUNCTION x\n";
  Put("q/bodies.ost", bodies);
  Put("q/binary.ost", binary);
  Put("q/shuffled.ost", Data("shuffled.ost"));
  const Outcome write = Run({"--verbose", "--jobs", "3", "q"});
  EXPECT_EQ(write.status, 0);
  EXPECT_EQ(write.out + write.err,
            "q/binary.ost: binary file, skipped\n"
            "q/bodies.ost: no declarations, nothing to arrange\n"
            "q/shuffled.ost: arranged\n"
            "1 file arranged, 2 unchanged, 0 refused\n");
  EXPECT_EQ(Get("q/bodies.ost") + Get("q/binary.ost"), bodies + binary);
  EXPECT_EQ(Run({"--check", "--sort", "q"}).status, 0);
  for (const std::string& input : {bodies, binary}) {
    EXPECT_EQ(Run({"-"}, input).out, input);
  }
  // Once it declares a function, the same file is refused.
  Put("q/declared.ost", "DECLARE FUNCTION Open ()\n" + bodies);
  EXPECT_EQ(Run({"q/declared.ost"}).err,
            "q/declared.ost:4: error: the function Twice has no declaration.\n"
            "0 files arranged, 0 unchanged, 1 refused\n");
}

// A file not arranged (3) outweighs one that would change (1); a hook that
// fixes files fails when it changed one, and only then; with - alone,
// --verbose leaves standard output the file.
TEST_F(ArrangeTest, StatusesAndVerboseAsToolsReadThem) {
  Put("s/a.ost", Data("shuffled.ost"));
  Put("s/b.ost", Data("second_body.ost"));
  const Outcome both = Run({"--check", "--verbose", "s"});
  EXPECT_EQ(both.status, 3);
  EXPECT_EQ(both.out + both.err,
            "s/a.ost\ns/a.ost: would be arranged\n"
            "s/b.ost:8: error: the function alpha has a second body.\n"
            "1 file would be arranged, 0 unchanged, 1 refused\n");
  const Outcome filter = Run({"--verbose", "-"}, Data("shuffled.ost"));
  EXPECT_EQ(filter.out + filter.err,
            Run({"-"}, Data("shuffled.ost")).out + "<stdin>: arranged\n");
  fs::remove(folder.File("s/b.ost"));
  EXPECT_EQ(Run({"--exit-nonzero-on-change", "s"}).status, 1);
  EXPECT_EQ(Run({"--exit-nonzero-on-change", "s"}).status, 0);
}

// Colour is for a person at a terminal: never in a file unless asked for,
// off there when NO_COLOR holds any text, and --color always outweighs it.
TEST_F(ArrangeTest, DiffColours) {
  Put("c.ost", Data("shuffled.ost"));
  EXPECT_EQ(Run({"--diff", "--color", "auto", "c.ost"}).out,
            Run({"--diff", "c.ost"}).out);
  const std::string colored = Run({"--diff", "--color", "always", "c.ost"}).out;
  EXPECT_EQ(colored.rfind("\x1b[1m--- c.ost\x1b[m\n\x1b[1m+++ c.ost\x1b[m\n"
                          "\x1b[36m@@ -",
                          0),
            0u)
      << colored;
  EXPECT_NE(colored.find("\n\x1b[31m-FUNCTION"), std::string::npos);
  EXPECT_NE(colored.find("\n\x1b[32m+FUNCTION"), std::string::npos);
  const auto onTerminal = [&](const std::string& environment,
                              const std::string& color) {
    EXPECT_NE(
        std::system(("cd '" + folder.path().string() + "' && " + environment +
                     " script -qec '" KALVANE_ARRANGE " --diff --color " +
                     color + " c.ost' /dev/null > tty")
                        .c_str()),
        -1);
    return Get("tty").find("\x1b[31m") != std::string::npos;
  };
  EXPECT_TRUE(onTerminal("NO_COLOR=", "auto"));
  EXPECT_FALSE(onTerminal("NO_COLOR=1", "auto"));
  EXPECT_TRUE(onTerminal("NO_COLOR=1", "always"));
  EXPECT_FALSE(onTerminal("NO_COLOR=", "never"));
}

// The portable matcher agrees with the system's fnmatch on random patterns
// and paths over a small alphabet that holds every special character.
TEST(GlobMatch, AgreesWithFnmatch) {
  std::mt19937 random(22);
  const std::string patternChars = "ab/*?[]!-\\";
  const std::string textChars = "ab/-!*";
  const auto make = [&](const std::string& chars, size_t most) {
    std::string text(random() % (most + 1), ' ');
    for (char& c : text) c = chars[random() % chars.size()];
    return text;
  };
  for (int i = 0; i < 200000; ++i) {
    const std::string pattern = make(patternChars, 7);
    const std::string text = make(textChars, 6);
    // A '/' inside brackets or escaped is left to each implementation.
    if ((pattern.find('[') != std::string::npos &&
         pattern.find('/', pattern.find('[')) != std::string::npos) ||
        pattern.find("\\/") != std::string::npos) {
      continue;
    }
    ASSERT_EQ(GlobMatch(pattern, text),
              fnmatch(pattern.c_str(), text.c_str(), FNM_PATHNAME) == 0)
        << "pattern " << pattern << " text " << text;
  }
  EXPECT_TRUE(GlobMatch("?nordnung.*", "Ünordnung.ost"));
  EXPECT_TRUE(GlobMatch("*[!a]", "aÜ"));
  EXPECT_TRUE(GlobMatch("[À-Ý]*", "Ünordnung"));
  EXPECT_FALSE(GlobMatch("??", "Ü"));
  EXPECT_TRUE(GlobMatch("*.OST", "a.ost", true));
  EXPECT_FALSE(GlobMatch("*.OST", "a.ost"));
}

// What a folder's search passes over: the default hidden folders or
// --exclude's patterns, --extend-exclude's, and what git ignores; a file
// named on the command line is arranged all the same.
TEST_F(ArrangeTest, ExcludesAndGitsIgnoreRules) {
  for (const char* name : {"t/a.ost", "t/build/b.ost", "t/x/build/c.ost",
                           "t/x/gen.ost", "t/.hidden/d.ost", "t/x/y/e.ost"}) {
    Put(name, Data("shuffled.ost"));
  }
  const auto found = [&](std::vector<std::string> args) {
    args.insert(args.begin(), "--check");
    return Run(args).out;
  };
  EXPECT_EQ(found({"t"}),
            "t/a.ost\nt/build/b.ost\nt/x/build/c.ost\nt/x/gen.ost\n"
            "t/x/y/e.ost\n");
  // A name alone matches at any depth; a path from the folder searched.
  EXPECT_EQ(found({"--extend-exclude", "build", "--extend-exclude", "x/y", "t",
                   "t/build/b.ost"}),
            "t/a.ost\nt/x/gen.ost\nt/build/b.ost\n");
  // --exclude replaces the hidden folders; a trailing / is folders only.
  EXPECT_EQ(found({"--exclude", "[bx]*/", "--exclude", "a.*", "t"}),
            "t/.hidden/d.ost\n");
  EXPECT_EQ(found({"--exclude", "gen.ost/", "--exclude", "b*", "t/x"}),
            "t/x/gen.ost\nt/x/y/e.ost\n");
  EXPECT_EQ(found({"--exclude", "./build", "--exclude", "/x/y", "t"}),
            "t/.hidden/d.ost\nt/a.ost\nt/x/build/c.ost\nt/x/gen.ost\n");
  // Standard input named by an excluded path passes through untouched.
  const Outcome named = Run(
      {"--stdin-filename", "t/build/b.ost", "--extend-exclude", "build", "-"},
      Data("shuffled.ost"));
  EXPECT_EQ(named.status, 0);
  EXPECT_EQ(named.out, Data("shuffled.ost"));

  // git's rules, from .gitignore with a negation and info/exclude; a
  // folder searched below the work tree's top is judged from the top; a
  // file git tracks is not ignored.
  const std::string git = "git -C '" + folder.File("t") + "' ";
  ASSERT_EQ(std::system((git + "init -q").c_str()), 0);
  Put("t/.gitignore", "build/\n*.ost\n!a.ost\n");
  Put("t/.git/info/exclude", "y/\n");
  EXPECT_EQ(found({"t"}), "t/a.ost\n");
  ASSERT_EQ(std::system((git + "add -f x/gen.ost").c_str()), 0);
  EXPECT_EQ(found({"t/x", "t/x/y/e.ost"}), "t/x/gen.ost\nt/x/y/e.ost\n");
  // Without libgit2 a tree in a work tree is left alone, with a warning
  // and a failure, and the files named are checked all the same; a tree
  // outside any work tree needs no library.
  Put("u/a.ost", Data("shuffled.ost"));
  setenv("LD_PRELOAD", NO_LIBGIT2, 1);
  const Outcome blind = Run({"--check", "t/x", "t/x/y/e.ost", "u"});
  unsetenv("LD_PRELOAD");
  EXPECT_EQ(blind.status, 3);
  EXPECT_EQ(blind.out, "t/x/y/e.ost\nu/a.ost\n");
  EXPECT_EQ(blind.err.rfind("kalvane-arrange: warning: cannot read git's "
                            "ignore rules (/nonexistent/libgit2",
                            0),
            0u)
      << blind.err;
  EXPECT_TRUE(blind.err.ends_with(
      "), so the files of folders searched in git work trees are left alone\n"
      "2 files would be arranged, 0 unchanged, 0 refused\n"))
      << blind.err;
  EXPECT_EQ(std::count(blind.err.begin(), blind.err.end(), '\n'), 2);
  const Outcome listed =
      Run({"--check", "--files-from", "-"}, "t/x/y/e.ost\r\n\n  \nt/a.ost\n");
  EXPECT_EQ(listed.out, "t/x/y/e.ost\nt/a.ost\n") << listed.err;
  EXPECT_EQ(Run({"--files-from", "missing", "t"}).status, 2);
  EXPECT_EQ(Run({"--files-from", "-", "-"}).status, 2);
}

// A link to a folder outside the tree searched is followed only when
// asked; a link inside it leads to files met once.
TEST_F(ArrangeTest, LinksOutOfTheTree) {
  Put("t/a.ost", Data("shuffled.ost"));
  Put("elsewhere/b.ost", Data("shuffled.ost"));
  fs::create_directory_symlink("../elsewhere", folder.File("t/out"));
  fs::create_directory_symlink(".", folder.File("t/in"));
  EXPECT_EQ(Run({"--check", "t"}).out, "t/a.ost\n");
  EXPECT_EQ(Run({"--check", "--follow-links", "t"}).out,
            "t/a.ost\nt/out/b.ost\n");
  EXPECT_EQ(Run({"--check", "t/out"}).out, "t/out/b.ost\n");
}

// .kalvane-arrange.toml: the nearest one up to the work tree's top gives
// each file its sort and excludes; --sort and --no-config override it; an
// invalid one stops the run, naming its line, before anything is written.
TEST_F(ArrangeTest, SettingsFile) {
  const std::string names =
      "DECLARE FUNCTION b ()\nDECLARE FUNCTION a ()\n"
      "FUNCTION b ()\nEND FUNCTION\nFUNCTION a ()\nEND FUNCTION\n";
  for (const char* name : {"p/one.ost", "p/sub/two.ost", "p/sub/gen/three.ost",
                           "p/repo/four.ost", "p/repo/.git/HEAD"}) {
    Put(name, names);
  }
  Put("p/.kalvane-arrange.toml", "# the project's\nsort = true\n");
  Put("p/sub/.kalvane-arrange.toml", "exclude = [\"gen/\"]\n");
  const Outcome check = Run({"--check", "p"});
  EXPECT_EQ(check.out, "p/one.ost\n") << check.err;
  EXPECT_EQ(Run({"--check", "--sort", "p"}).out,
            "p/one.ost\np/repo/four.ost\np/sub/two.ost\n");
  EXPECT_EQ(Run({"--check", "--no-config", "p/one.ost"}).status, 0);
  // Standard input takes the settings of the path it is named by.
  EXPECT_EQ(Run({"--check", "--stdin-filename", "p/x.ost", "-"}, names).status,
            1);
  EXPECT_EQ(Run({"--check", "--stdin-filename", "p/sub/gen/x.ost", "-"}, names)
                .status,
            0);

  const std::vector<std::pair<std::string, std::string>> invalid = {
      {"sort = \"yes\"\n", ":1: error: sort must be true or false\n"},
      {"\nexclude = [\"a\",\n  2]\n", ":3: error: exclude must hold only"},
      {"sort = true\nfast = 1\n", ":2: error: unknown key 'fast'"},
      {"sort = true\nsort = [\n", ":2: error: "},
  };
  for (const auto& [text, message] : invalid) {
    Put("p/sub/.kalvane-arrange.toml", text);
    const Outcome bad = Run({"p"});
    EXPECT_EQ(bad.status, 2) << text;
    EXPECT_EQ(bad.err.rfind("p/sub/.kalvane-arrange.toml" + message, 0), 0u)
        << bad.err;
    EXPECT_EQ(Get("p/one.ost"), names);
  }
  // A filter gives its input back all the same.
  const Outcome filter = Run({"--stdin-filename", "p/sub/x.ost", "-"}, names);
  EXPECT_EQ(filter.status, 2);
  EXPECT_EQ(filter.out, names);
  EXPECT_EQ(Run({"--no-config", "p"}).status, 0);
}

TEST_F(ArrangeTest, VersionAndUsage) {
  EXPECT_EQ(Run({"--version"}).out,
            std::string("kalvane-arrange ") + KALVANE_VERSION + "\n");
  EXPECT_EQ(Run({"--help"}).status, 0);
  // Every mistake in the command line is the program's own error.
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--no-such-option", "x"},
        {},
        {"-", "-"},
        {"--color", "sometimes", "x"}}) {
    const Outcome usage = Run(args);
    EXPECT_EQ(usage.status, 2);
    EXPECT_EQ(usage.err.rfind("kalvane-arrange: error: ", 0), 0u) << usage.err;
    EXPECT_EQ(std::count(usage.err.begin(), usage.err.end(), '\n'), 1);
  }
}

}  // namespace
