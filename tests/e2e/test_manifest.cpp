// The application manifest in Tilo.scr, read by the system's own parser: per-monitor DPI
// awareness, the supported systems and asInvoker; and the saver still covers the screen.
#include <gtest/gtest.h>

#include <string.h>

#include <vector>

#include "support/installation.h"
#include "support/saver_process.h"

namespace {

class Manifest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ACTCTXA request = {};
        request.cbSize = sizeof request;
        request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
        std::string path = SaverPath();
        request.lpSource = path.c_str();
        request.lpResourceName = CREATEPROCESS_MANIFEST_RESOURCE_ID;
        context = CreateActCtxA(&request);
        ASSERT_NE(context, INVALID_HANDLE_VALUE)
            << "no manifest the system can read, error " << GetLastError();
    }
    void TearDown() override
    {
        if (context != INVALID_HANDLE_VALUE) ReleaseActCtx(context);
    }
    std::wstring Setting(const wchar_t* nameSpace, const wchar_t* name)
    {
        wchar_t value[128] = {};
        SIZE_T written = 0;
        if (!QueryActCtxSettingsW(0, context, nameSpace, name, value, 128, &written)) return L"<none>";
        return value;
    }
    HANDLE context = INVALID_HANDLE_VALUE;
};

}  // namespace

TEST_F(Manifest, AsksForPerMonitorDpiAwareness)
{
    EXPECT_EQ(Setting(L"http://schemas.microsoft.com/SMI/2005/WindowsSettings", L"dpiAware"), L"true/pm");
    EXPECT_EQ(Setting(L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", L"dpiAwareness"),
              L"PerMonitorV2, PerMonitor");
}

TEST_F(Manifest, RunsAsInvokerOnEverySystemFromVistaOn)
{
    ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION level = {};
    ASSERT_TRUE(QueryActCtxW(0, context, nullptr, RunlevelInformationInActivationContext, &level,
                             sizeof level, nullptr));
    EXPECT_EQ(level.RunLevel, ACTCTX_RUN_LEVEL_AS_INVOKER);
    EXPECT_EQ(level.UiAccess, 0u);

    // Vista, 7, 8, 8.1, 10 and 11. The element layout differs between SDKs: look for
    // each identifier in the answer.
    const GUID systems[] = {{0xe2011457, 0x1546, 0x43c5, {0xa5, 0xfe, 0x00, 0x8d, 0xee, 0xe3, 0xd3, 0xf0}},
                            {0x35138b9a, 0x5d96, 0x4fbd, {0x8e, 0x2d, 0xa2, 0x44, 0x02, 0x25, 0xf9, 0x3a}},
                            {0x4a2f28e3, 0x53b9, 0x4441, {0xba, 0x9c, 0xd6, 0x9d, 0x4a, 0x4a, 0x6e, 0x38}},
                            {0x1f676c76, 0x80e1, 0x4239, {0x95, 0xbb, 0x83, 0xd0, 0xf6, 0xd0, 0xda, 0x78}},
                            {0x8e0f7a12, 0xbfb3, 0x4fe8, {0xb9, 0xa5, 0x48, 0xfd, 0x50, 0xa1, 0x5a, 0x9a}}};
    std::vector<BYTE> answer(1024);
    SIZE_T size = 0;
    ASSERT_TRUE(QueryActCtxW(0, context, nullptr, CompatibilityInformationInActivationContext, answer.data(),
                             answer.size(), &size));
    EXPECT_EQ(
        reinterpret_cast<const ACTIVATION_CONTEXT_COMPATIBILITY_INFORMATION*>(answer.data())->ElementCount,
        5u);
    for (const GUID& system : systems) {
        bool found = false;
        for (SIZE_T at = 0; at + sizeof system <= size && !found; ++at)
            found = memcmp(answer.data() + at, &system, sizeof system) == 0;
        EXPECT_TRUE(found) << std::hex << system.Data1;
    }
}

TEST_F(Manifest, TheSaverStillCoversTheScreen) { ExpectSaverRunsFrom(SaverPath()); }
