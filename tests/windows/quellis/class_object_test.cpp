// The COM side of the extension: the class object, the handler's interfaces,
// the module's object count and activation through the registry.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "quellis_module.h"
#include "registry_state.h"

using namespace quellistest;

namespace {

// {00000000-1111-2222-3333-444444444444}: a class the module does not serve.
constexpr CLSID kForeignClsid = {0x00000000, 0x1111, 0x2222, {0x33, 0x33, 0x44, 0x44, 0x44, 0x44, 0x44, 0x44}};

class ClassObject : public ::testing::Test {
protected:
    void TearDown() override {
        // Every test hands back what it got: nothing may keep the module.
        EXPECT_EQ(quellis().DllCanUnloadNow(), S_OK);
    }
};

// A non-null pointer that the entry points must overwrite with null.
void* const kStale = reinterpret_cast<void*>(0x1234);

}  // namespace

TEST_F(ClassObject, DllGetClassObjectAnswersEachRequest) {
    const struct {
        const char* name;
        const CLSID& clsid;
        const IID& iid;
        HRESULT expected;
    } cases[] = {
        {"IClassFactory", kQuellisClsid, IID_IClassFactory, S_OK},
        {"IUnknown", kQuellisClsid, IID_IUnknown, S_OK},
        {"an interface the factory lacks", kQuellisClsid, IID_IContextMenu, E_NOINTERFACE},
        {"another class", kForeignClsid, IID_IClassFactory, CLASS_E_CLASSNOTAVAILABLE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        void* object = kStale;
        EXPECT_EQ(quellis().DllGetClassObject(c.clsid, c.iid, &object), c.expected);
        if (c.expected == S_OK) {
            ASSERT_NE(object, nullptr);
            EXPECT_EQ(quellis().DllCanUnloadNow(), S_FALSE);
            // The caller holds the only reference.
            EXPECT_EQ(static_cast<IUnknown*>(object)->Release(), 0u);
        } else {
            EXPECT_EQ(object, nullptr);
        }
        EXPECT_EQ(quellis().DllCanUnloadNow(), S_OK);
    }
    EXPECT_EQ(quellis().DllGetClassObject(kQuellisClsid, IID_IClassFactory, nullptr), CLASS_E_CLASSNOTAVAILABLE);
}

TEST_F(ClassObject, FactoryQueryInterfaceAndReferenceCount) {
    ComRef<IClassFactory> factory = quellis().factory();
    ASSERT_TRUE(factory);
    EXPECT_EQ(factory->QueryInterface(IID_IClassFactory, nullptr), E_INVALIDARG);

    void* other = kStale;
    EXPECT_EQ(factory->QueryInterface(IID_IShellExtInit, &other), E_NOINTERFACE);
    EXPECT_EQ(other, nullptr);

    ComRef<IUnknown> unknown;
    ASSERT_EQ(factory->QueryInterface(IID_IUnknown, unknown.out()), S_OK);
    EXPECT_EQ(static_cast<void*>(unknown.get()), static_cast<void*>(factory.get()));
    EXPECT_EQ(factory->AddRef(), 3u);
    EXPECT_EQ(factory->Release(), 2u);
    unknown.reset();
    EXPECT_EQ(quellis().DllCanUnloadNow(), S_FALSE);
    factory.reset();
    EXPECT_EQ(quellis().DllCanUnloadNow(), S_OK);
}

TEST_F(ClassObject, CreateInstanceAnswersEachRequest) {
    ComRef<IClassFactory> factory = quellis().factory();
    ASSERT_TRUE(factory);
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IContextMenu, nullptr), E_INVALIDARG);

    const struct {
        const char* name;
        bool aggregated;
        const IID& iid;
        HRESULT expected;
    } cases[] = {
        {"IContextMenu", false, IID_IContextMenu, S_OK},
        {"IShellExtInit", false, IID_IShellExtInit, S_OK},
        {"IUnknown", false, IID_IUnknown, S_OK},
        {"an interface the handler lacks", false, IID_IContextMenu2, E_NOINTERFACE},
        {"an outer object", true, IID_IUnknown, CLASS_E_NOAGGREGATION},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        void* object = kStale;
        IUnknown* outer = c.aggregated ? static_cast<IUnknown*>(factory.get()) : nullptr;
        EXPECT_EQ(factory->CreateInstance(outer, c.iid, &object), c.expected);
        if (c.expected == S_OK) {
            ASSERT_NE(object, nullptr);
            EXPECT_EQ(static_cast<IUnknown*>(object)->Release(), 0u);
        } else {
            EXPECT_EQ(object, nullptr);
        }
    }
    // Only the factory is left: a refused handler went at once.
    factory.reset();
    EXPECT_EQ(quellis().DllCanUnloadNow(), S_OK);
}

TEST_F(ClassObject, LockServerIsNotImplementedAndKeepsNothing) {
    ComRef<IClassFactory> factory = quellis().factory();
    ASSERT_TRUE(factory);
    EXPECT_EQ(factory->LockServer(TRUE), E_NOTIMPL);
    EXPECT_EQ(factory->LockServer(FALSE), E_NOTIMPL);
    EXPECT_EQ(factory->LockServer(TRUE), E_NOTIMPL);
    factory.reset();
    EXPECT_EQ(quellis().DllCanUnloadNow(), S_OK);
}

TEST_F(ClassObject, HandlerOffersItsTwoInterfacesAsOneObject) {
    ComRef<IContextMenu> menu = quellis().createHandler();
    ASSERT_TRUE(menu);
    EXPECT_EQ(menu->QueryInterface(IID_IShellExtInit, nullptr), E_INVALIDARG);

    ComRef<IShellExtInit> init;
    ComRef<IUnknown> unknownFromMenu, unknownFromInit;
    ComRef<IContextMenu> menuFromInit;
    ASSERT_EQ(menu->QueryInterface(IID_IShellExtInit, init.out()), S_OK);
    ASSERT_EQ(menu->QueryInterface(IID_IUnknown, unknownFromMenu.out()), S_OK);
    ASSERT_EQ(init->QueryInterface(IID_IUnknown, unknownFromInit.out()), S_OK);
    ASSERT_EQ(init->QueryInterface(IID_IContextMenu, menuFromInit.out()), S_OK);
    // One identity, and IUnknown is the first base.
    EXPECT_EQ(unknownFromMenu.get(), unknownFromInit.get());
    EXPECT_EQ(static_cast<void*>(unknownFromInit.get()), static_cast<void*>(init.get()));
    EXPECT_EQ(menuFromInit.get(), menu.get());
    EXPECT_NE(static_cast<void*>(menu.get()), static_cast<void*>(init.get()));

    for (const IID* iid : {&IID_IContextMenu2, &IID_IContextMenu3, &IID_IClassFactory, &IID_IDataObject}) {
        void* object = kStale;
        EXPECT_EQ(menu->QueryInterface(*iid, &object), E_NOINTERFACE);
        EXPECT_EQ(object, nullptr);
    }
    // Both bases share one count.
    EXPECT_EQ(menu->AddRef(), 6u);
    EXPECT_EQ(init->Release(), 5u);
}

TEST_F(ClassObject, CanUnloadNowWhileAnyObjectLives) {
    ComRef<IClassFactory> factory = quellis().factory();
    ASSERT_TRUE(factory);
    ComRef<IContextMenu> handler;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IContextMenu, handler.out()), S_OK);
    factory.reset();
    EXPECT_EQ(quellis().DllCanUnloadNow(), S_FALSE) << "a live handler keeps the module";
    handler.reset();
    EXPECT_EQ(quellis().DllCanUnloadNow(), S_OK);
}

// Explorer creates and releases handlers on several apartment threads at
// once; a count that loses an update keeps the module forever or lets it go
// under a live object.
TEST_F(ClassObject, ObjectCountSurvivesManyThreads) {
    constexpr int kThreads = 4;
    constexpr int kCycles = 20000;
    constexpr int kHandlerEvery = 100;  // handlers draw their picture: fewer of them
    ComRef<IClassFactory> held = quellis().factory();
    ASSERT_TRUE(held);

    std::vector<int> failures(kThreads, 0);
    std::vector<std::thread> threads;
    std::atomic<int> ready{0};
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t, &failures, &ready] {
            // All threads start together, so that their changes overlap.
            ++ready;
            while (ready < kThreads) std::this_thread::yield();
            for (int i = 0; i < kCycles; ++i) {
                IClassFactory* factory = nullptr;
                if (quellis().DllGetClassObject(kQuellisClsid, IID_IClassFactory, reinterpret_cast<void**>(&factory)) !=
                    S_OK) {
                    ++failures[t];
                    continue;
                }
                if (i % kHandlerEvery == 0) {
                    IUnknown* handler = nullptr;
                    if (factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&handler)) == S_OK) {
                        handler->Release();
                    } else {
                        ++failures[t];
                    }
                }
                factory->Release();
            }
        });
    }
    for (auto& thread : threads) thread.join();
    for (int t = 0; t < kThreads; ++t) EXPECT_EQ(failures[t], 0) << "thread " << t;

    EXPECT_EQ(quellis().DllCanUnloadNow(), S_FALSE) << "the held factory still counts";
    held.reset();
    EXPECT_EQ(quellis().DllCanUnloadNow(), S_OK);
}

// Wine finds classes registered for all users only, so activation by class
// id is checked after an all-users registration.
TEST_F(ClassObject, CoCreateInstanceFindsTheRegisteredHandler) {
    CleanExtensionRegistry registry;
    ASSERT_TRUE(quellis().DllRegisterServer(true));
    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
    {
        ComRef<IContextMenu> menu;
        ASSERT_EQ(CoCreateInstance(kQuellisClsid, nullptr, CLSCTX_INPROC_SERVER, IID_IContextMenu, menu.out()), S_OK);
        // The object is the module's own: it keeps the module loaded.
        EXPECT_EQ(quellis().DllCanUnloadNow(), S_FALSE);
        ComRef<IShellExtInit> init;
        EXPECT_EQ(menu->QueryInterface(IID_IShellExtInit, init.out()), S_OK);
    }
    EXPECT_EQ(quellis().DllCanUnloadNow(), S_OK);
    CoUninitialize();
    EXPECT_TRUE(quellis().DllUnregisterServer(true));
}
