#pragma once
// What every Registry promises in the views all backends share, as one suite
// run against the fake and both real backends. Each backend's own test file
// instantiates it with a factory:
//   INSTANTIATE_TEST_SUITE_P(Name, RegistryContract, ::testing::Values(RegistryBackend{"Name",
//   &MakeName}));
// Include it from one test file per executable: the tests are defined here.
#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>

#include "platform/registry.h"

namespace pelorin::contract {

// One backend with a key path of the test's own under HKEY_CURRENT_USER,
// not there at the start and removed at the end.
class RegistryUnderTest {
 public:
  virtual ~RegistryUnderTest() = default;
  virtual Registry& registry() = 0;
  // Another registry object over the same data, as a program started again sees it.
  virtual Registry& Again() = 0;
  virtual std::string Base() const = 0;
};

// A backend as the suite's parameter: its name (shown in test names) and how
// to make one.
struct RegistryBackend {
  const char* name;
  std::unique_ptr<RegistryUnderTest> (*make)();
  friend std::ostream& operator<<(std::ostream& out, const RegistryBackend& backend) {
    return out << backend.name;
  }
};

class RegistryContract : public ::testing::TestWithParam<RegistryBackend> {
 protected:
  void SetUp() override {
    backend_ = GetParam().make();
    base_ = backend_->Base();
  }
  Opened<RegistryKey> Open(const std::string& path, KeyAccess access, bool create) {
    return backend_->registry().Open(RegistryRoot::CurrentUser, path, access, create);
  }

  std::unique_ptr<RegistryUnderTest> backend_;
  std::string base_;
};

TEST_P(RegistryContract, OpensOnlyWhatExistsUnlessAskedToCreate) {
  Opened<RegistryKey> missing = Open(base_, KeyAccess::Full, false);
  ASSERT_FALSE(missing);
  EXPECT_NE(missing.error().code, 0);
  EXPECT_NE(missing.error().subject.find(base_), std::string::npos) << missing.error().subject;

  EXPECT_TRUE(Open(base_ + "\\Deep\\Er", KeyAccess::Full, true));
  EXPECT_TRUE(backend_->Again().Open(RegistryRoot::CurrentUser, base_ + "\\Deep\\Er",
                                     KeyAccess::Read, false));
  EXPECT_TRUE(Open(base_ + "\\Deep", KeyAccess::Read, false)) << "parents are created too";
  EXPECT_TRUE(Open("\\" + base_, KeyAccess::Read, false));
  std::string lower = base_ + "\\DEEP\\er";
  for (char& c : lower) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  EXPECT_TRUE(Open(lower, KeyAccess::Read, false));
  EXPECT_FALSE(
      backend_->registry().Open(RegistryRoot::LocalMachine, base_, KeyAccess::Read, false));
}

TEST_P(RegistryContract, ValuesKeepTheirTypesAndOddTextsAcrossInstances) {
  const std::string odd = "C:\\Program Files\\a%20b\r\n\t \"q\" ";
  {
    Opened<RegistryKey> key = Open(base_, KeyAccess::Full, true);
    ASSERT_TRUE(key);
    EXPECT_TRUE(key->WriteString("INI", odd));
    EXPECT_TRUE(key->WriteString("", "default value"));
    EXPECT_TRUE(key->WriteDword("COMport", 0xFFFFFFFEu));
    EXPECT_TRUE(key->WriteString("name with blanks", ""));
  }
  std::string upper = base_;
  for (char& c : upper) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
  Opened<RegistryKey> key =
      backend_->Again().Open(RegistryRoot::CurrentUser, upper, KeyAccess::Read, false);
  ASSERT_TRUE(key);
  EXPECT_EQ(key->ReadString("ini"), odd);
  EXPECT_EQ(key->ReadString(""), "default value");
  EXPECT_EQ(key->ReadDword("comport"), 0xFFFFFFFEu);
  EXPECT_EQ(key->ReadString("COMport"), std::nullopt);
  EXPECT_EQ(key->ReadDword("INI"), std::nullopt);
  EXPECT_EQ(key->ReadString("Name With Blanks"), "");
  EXPECT_EQ(key->ReadString("Nothing"), std::nullopt);
  EXPECT_EQ(key->ValueCount().value_or(4), 4U) << "where the backend can tell";
}

TEST_P(RegistryContract, DeletesValuesAndWholeSubtrees) {
  Opened<RegistryKey> key = Open(base_, KeyAccess::Full, true);
  ASSERT_TRUE(key);
  EXPECT_TRUE(key->WriteString("Pelorin", "c:\\p.exe"));
  EXPECT_TRUE(key->DeleteValue("PELORIN"));
  EXPECT_EQ(key->ReadString("Pelorin"), std::nullopt);
  EXPECT_FALSE(key->DeleteValue("Pelorin"));

  {
    Opened<RegistryKey> grand = Open(base_ + "\\Child\\Grand", KeyAccess::Full, true);
    ASSERT_TRUE(grand);
    EXPECT_TRUE(grand->WriteString("DisplayName", "Pelorin"));
  }
  ASSERT_TRUE(Open(base_ + "\\Children", KeyAccess::Full, true));
  EXPECT_TRUE(key->DeleteSubKey("child"));
  EXPECT_FALSE(Open(base_ + "\\Child\\Grand", KeyAccess::Read, false));
  EXPECT_FALSE(Open(base_ + "\\Child", KeyAccess::Read, false));
  EXPECT_TRUE(Open(base_ + "\\Children", KeyAccess::Read, false));
  EXPECT_TRUE(Open(base_, KeyAccess::Read, false));
  EXPECT_FALSE(key->DeleteSubKey("Child"));
  EXPECT_FALSE(key->DeleteSubKey(""));
}

}  // namespace pelorin::contract
