// Security attributes and the permissions they give the named objects.
#include "store/Security.h"
#include "StoreTestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

TEST(Security, AttributesStandForEveryoneWithInheritableHandles) {
    TSecurity a;
    TSecurity b;
    ASSERT_NE(a.GetSecurity(), nullptr);
    EXPECT_NE(a.GetSecurity(), b.GetSecurity());
    EXPECT_NE(a.GetSecurity()->Descriptor, b.GetSecurity()->Descriptor);
    EXPECT_EQ(a.GetSecurity()->Length, sizeof(platform::SecurityAttributes));
    EXPECT_TRUE(a.GetSecurity()->InheritHandle);
    EXPECT_EQ(a.GetSecurity()->Descriptor->Revision, 1u);
    EXPECT_TRUE(a.GetSecurity()->Descriptor->DaclPresent);
    EXPECT_EQ(a.GetSecurity()->Descriptor->Dacl, nullptr);
    EXPECT_FALSE(a.GetSecurity()->Descriptor->DaclDefaulted);
    a.DestroySecurityAttributes();
    EXPECT_EQ(a.GetSecurity(), nullptr);
    a.DestroySecurityAttributes(); // nothing is freed twice (the destructor runs it once more)
}

TEST(Security, ObjectsGetReadWriteForEveryoneWhateverTheUmask) {
    const mode_t old = umask(077);
    TSecurity security;
    platform::Handle open = platform::CreateNamedMutex(security.GetSecurity(), "SecOpen");
    platform::Handle closed = platform::CreateNamedMutex(nullptr, "SecClosed");
    umask(old);
    ASSERT_NE(open, nullptr);
    ASSERT_NE(closed, nullptr);
    struct stat st {};
    ASSERT_EQ(stat(("/dev/shm" + platform::SharedMemoryName("SecOpen")).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0666u);
    ASSERT_EQ(stat(("/dev/shm" + platform::SharedMemoryName("SecClosed")).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u) << "null attributes";
    platform::CloseNamedHandle(open);
    platform::CloseNamedHandle(closed);
}
