// What the built Zorvane.exe carries besides its code: the version information Explorer shows
// and the manifest the loader reads before the program starts.
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <objbase.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace {

const char* const kSupportedSystems[] = {
    "{e2011457-1546-43c5-a5fe-008deee3d3f0}",  // Vista
    "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  // 7
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  // 8
    "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  // 8.1
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  // 10 and 11
};

std::wstring VersionText(std::vector<BYTE>& block, const std::wstring& language, const wchar_t* name)
{
    const std::wstring query = L"\\StringFileInfo\\" + language + L"\\" + name;
    void* value = nullptr;
    UINT length = 0;
    const bool found = VerQueryValueW(block.data(), query.c_str(), &value, &length) && value;
    return found ? static_cast<const wchar_t*>(value) : L"(missing)";
}

// A resource as it is stored in the file; empty when there is none.
std::string ResourceBytes(WORD id, WORD type)
{
    HMODULE exe = LoadLibraryExA(WinePathFromEnv("ZORVANE_EXE").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!exe)
        return {};
    std::string text;
    HRSRC found = FindResourceA(exe, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(type));
    HGLOBAL loaded = found ? LoadResource(exe, found) : nullptr;
    if (const char* bytes = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr)
        text.assign(bytes, SizeofResource(exe, found));
    FreeLibrary(exe);
    return text;
}

using ActivationContext = std::unique_ptr<void, void(WINAPI*)(HANDLE)>;

// The raw answer of QueryActCtxW; empty on failure.
std::vector<BYTE> Query(const ActivationContext& context, ULONG infoClass, DWORD assemblyIndex = 0)
{
    ACTIVATION_CONTEXT_QUERY_INDEX index{assemblyIndex, 0};
    std::vector<BYTE> answer(4096);
    SIZE_T written = 0;
    const bool answered = QueryActCtxW(0, context.get(), assemblyIndex ? &index : nullptr, infoClass, answer.data(),
                                       answer.size(), &written);
    answer.resize(answered ? written : 0);
    return answer;
}

}  // namespace

TEST(ExecutableResources, VersionInformationIsOnePointZeroInChineseAndEnglish)
{
    const std::string path = WinePathFromEnv("ZORVANE_EXE");
    std::vector<BYTE> block(GetFileVersionInfoSizeA(path.c_str(), nullptr));
    ASSERT_FALSE(block.empty()) << "no version information, error " << GetLastError();
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, static_cast<DWORD>(block.size()), block.data())) << GetLastError();

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    // Signature, file and product version 1.0.0.0, VOS_NT_WINDOWS32, an application.
    EXPECT_EQ(std::make_tuple(0xFEEF04BDu, 0x00010000u, 0u, 0x00010000u, 0u, 0x00040004u, 1u),
              std::tie(fixed->dwSignature, fixed->dwFileVersionMS, fixed->dwFileVersionLS, fixed->dwProductVersionMS,
                       fixed->dwProductVersionLS, fixed->dwFileOS, fixed->dwFileType));

    WORD* translations = nullptr;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translations),
                               &length));
    EXPECT_EQ((std::vector<WORD>{0x0804, 936, 0x0409, 1200}),
              std::vector<WORD>(translations, translations + length / sizeof(WORD)));

    for (const wchar_t* language : {L"080403A8", L"040904B0"}) {
        SCOPED_TRACE(testing::Message() << "block " << language);
        EXPECT_EQ(L"1.0.0.0", VersionText(block, language, L"FileVersion"));
        EXPECT_EQ(L"1.0.0.0", VersionText(block, language, L"ProductVersion"));
        EXPECT_EQ(L"Zorvane", VersionText(block, language, L"ProductName"));
        EXPECT_EQ(L"Zorvane", VersionText(block, language, L"InternalName"));
        EXPECT_EQ(L"Zorvane.exe", VersionText(block, language, L"OriginalFilename"));
    }
    EXPECT_EQ(L"Zorvane 网络校时工具", VersionText(block, L"080403A8", L"FileDescription"));
    EXPECT_EQ(L"版权所有 (C) 2026 Zorvane", VersionText(block, L"080403A8", L"LegalCopyright"));
    EXPECT_EQ(L"Zorvane network time synchronisation", VersionText(block, L"040904B0", L"FileDescription"));
    EXPECT_EQ(L"Copyright (C) 2026 Zorvane", VersionText(block, L"040904B0", L"LegalCopyright"));

    // A program reading it in narrow text under code page 936 gets the same description in GBK.
    ASSERT_EQ(936u, GetACP());
    char* narrow = nullptr;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\StringFileInfo\\080403A8\\FileDescription",
                               reinterpret_cast<void**>(&narrow), &length));
    EXPECT_EQ(std::string("Zorvane 网络校时工具"), narrow);
}

TEST(ExecutableResources, ManifestIsResourceOneOfTypeTwentyFour)
{
    const std::string manifest = ResourceBytes(1, 24);
    ASSERT_FALSE(manifest.empty()) << "no manifest resource";
    EXPECT_EQ(0u, manifest.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"", 0)) << manifest;
    const char* const expected[] = {
        "<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>",
        "<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">false</dpiAware>",
        "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
    };
    for (const char* text : expected)
        EXPECT_NE(std::string::npos, manifest.find(text)) << text;
    for (const char* id : kSupportedSystems)
        EXPECT_NE(std::string::npos, manifest.find("<supportedOS Id=\"" + std::string(id) + "\"/>")) << id;
}

// The window's icon, which other programs find by its number too.
TEST(ExecutableResources, IconIsIconGroup128)
{
    const std::string group = ResourceBytes(128, 14);  // RT_GROUP_ICON
    ASSERT_GE(group.size(), 6u) << "no icon group 128";
    EXPECT_EQ(std::string("\0\0\1\0", 4), group.substr(0, 4));  // reserved, type icon
}

TEST(ExecutableResources, LoaderTakesRunLevelSupportedSystemsAndCommonControlsFromTheManifest)
{
    // The activation context the loader builds from resource 1 of the executable.
    const std::string path = WinePathFromEnv("ZORVANE_EXE");
    ACTCTXA request{};
    request.cbSize = sizeof request;
    request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.lpSource = path.c_str();
    request.lpResourceName = MAKEINTRESOURCEA(1);
    HANDLE made = CreateActCtxA(&request);
    const ActivationContext context(made == INVALID_HANDLE_VALUE ? nullptr : made, ReleaseActCtx);
    ASSERT_TRUE(context) << "the manifest does not parse, error " << GetLastError();

    const std::vector<BYTE> runLevel = Query(context, RunlevelInformationInActivationContext);
    ASSERT_EQ(sizeof(ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION), runLevel.size());
    const auto* level = reinterpret_cast<const ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION*>(runLevel.data());
    EXPECT_EQ(1, level->RunLevel) << "as invoker";
    EXPECT_EQ(0u, level->UiAccess);

    // Elements are found by their identifiers only: their size differs between SDKs.
    const std::vector<BYTE> compatibility = Query(context, CompatibilityInformationInActivationContext);
    ASSERT_GE(compatibility.size(), sizeof(DWORD));
    EXPECT_EQ(5u, *reinterpret_cast<const DWORD*>(compatibility.data()));
    for (const char* id : kSupportedSystems) {
        GUID guid{};
        ASSERT_EQ(S_OK, CLSIDFromString(std::wstring(id, id + std::strlen(id)).c_str(), &guid));
        const BYTE* first = reinterpret_cast<const BYTE*>(&guid);
        const auto at = std::search(compatibility.begin(), compatibility.end(), first, first + sizeof guid);
        EXPECT_TRUE(at != compatibility.end()) << id;
    }

    // Assembly 1 is the program itself, 2 its first dependency.
    const std::vector<BYTE> dependency = Query(context, AssemblyDetailedInformationInActivationContext, 2);
    ASSERT_FALSE(dependency.empty()) << "no dependent assembly";
    const std::wstring identity =
        reinterpret_cast<const ACTIVATION_CONTEXT_ASSEMBLY_DETAILED_INFORMATION*>(dependency.data())
            ->lpAssemblyEncodedAssemblyIdentity;
    EXPECT_EQ(0u, identity.rfind(L"Microsoft.Windows.Common-Controls,", 0));
}
