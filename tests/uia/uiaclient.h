#pragma once

// The part of UI Automation's client interfaces that uiaread uses, declared here because the
// MinGW-w64 headers of Debian 12 carry only the numeric ids (uiautomationclient.h) and later ones
// declare the interfaces under the same names: these live in a namespace of their own. Each
// interface lists its methods in the order of Microsoft's UIAutomationClient.idl up to the last
// one called; the ones in between are there for their place in the table only.

#include <windows.h>

#include <oleauto.h>
#include <unknwn.h>

namespace uia {

struct Element;
struct TreeWalker;

// IUIAutomationElement
struct Element : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE SetFocus() = 0;
    virtual HRESULT STDMETHODCALLTYPE GetRuntimeId(SAFEARRAY** runtimeId) = 0;
    virtual HRESULT STDMETHODCALLTYPE FindFirst(int, void*, Element**) = 0;
    virtual HRESULT STDMETHODCALLTYPE FindAll(int, void*, void**) = 0;
    virtual HRESULT STDMETHODCALLTYPE FindFirstBuildCache(int, void*, void*, Element**) = 0;
    virtual HRESULT STDMETHODCALLTYPE FindAllBuildCache(int, void*, void*, void**) = 0;
    virtual HRESULT STDMETHODCALLTYPE BuildUpdatedCache(void*, Element**) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetCurrentPropertyValue(int propertyId, VARIANT* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetCurrentPropertyValueEx(int propertyId,
                                                                BOOL ignoreDefaultValue,
                                                                VARIANT* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetCachedPropertyValue(int, VARIANT*) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetCachedPropertyValueEx(int, BOOL, VARIANT*) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetCurrentPatternAs(int patternId, REFIID iid,
                                                          void** pattern) = 0;
};

// IUIAutomationValuePattern
struct ValuePattern : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE SetValue(BSTR) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_CurrentValue(BSTR* value) = 0;
};

// IUIAutomationTreeWalker
struct TreeWalker : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetParentElement(Element* element, Element** parent) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetFirstChildElement(Element* element, Element** first) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetLastChildElement(Element* element, Element** last) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetNextSiblingElement(Element* element, Element** next) = 0;
};

// IUIAutomationFocusChangedEventHandler
struct FocusChangedEventHandler : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE HandleFocusChangedEvent(Element* sender) = 0;
};

// IUIAutomationEventHandler
struct EventHandler : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE HandleAutomationEvent(Element* sender, int eventId) = 0;
};

// IUIAutomationPropertyChangedEventHandler
struct PropertyChangedEventHandler : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE HandlePropertyChangedEvent(Element* sender, int propertyId,
                                                                 VARIANT newValue) = 0;
};

// IUIAutomationNotificationEventHandler (Windows 10 1709 and later)
struct NotificationEventHandler : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE HandleNotificationEvent(Element* sender, int kind,
                                                              int processing, BSTR text,
                                                              BSTR activityId) = 0;
};

// IUIAutomation
struct Automation : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE CompareElements(Element*, Element*, BOOL*) = 0;
    virtual HRESULT STDMETHODCALLTYPE CompareRuntimeIds(SAFEARRAY*, SAFEARRAY*, BOOL*) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetRootElement(Element** root) = 0;
    virtual HRESULT STDMETHODCALLTYPE ElementFromHandle(HWND window, Element** element) = 0;
    virtual HRESULT STDMETHODCALLTYPE ElementFromPoint(POINT, Element**) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetFocusedElement(Element** element) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetRootElementBuildCache(void*, Element**) = 0;
    virtual HRESULT STDMETHODCALLTYPE ElementFromHandleBuildCache(HWND, void*, Element**) = 0;
    virtual HRESULT STDMETHODCALLTYPE ElementFromPointBuildCache(POINT, void*, Element**) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetFocusedElementBuildCache(void*, Element**) = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateTreeWalker(void*, TreeWalker**) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_ControlViewWalker(TreeWalker** walker) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_ContentViewWalker(TreeWalker** walker) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_RawViewWalker(TreeWalker** walker) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_RawViewCondition(void**) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_ControlViewCondition(void**) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_ContentViewCondition(void**) = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateCacheRequest(void**) = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateTrueCondition(void**) = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateFalseCondition(void**) = 0;
    virtual HRESULT STDMETHODCALLTYPE CreatePropertyCondition(int, VARIANT, void**) = 0;
    virtual HRESULT STDMETHODCALLTYPE CreatePropertyConditionEx(int, VARIANT, int, void**) = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateAndCondition(void*, void*, void**) = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateAndConditionFromArray(SAFEARRAY*, void**) = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateAndConditionFromNativeArray(void**, int, void**) = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateOrCondition(void*, void*, void**) = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateOrConditionFromArray(SAFEARRAY*, void**) = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateOrConditionFromNativeArray(void**, int, void**) = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateNotCondition(void*, void**) = 0;
    virtual HRESULT STDMETHODCALLTYPE AddAutomationEventHandler(int eventId, Element* element,
                                                                int scope, void* cacheRequest,
                                                                EventHandler* handler) = 0;
    virtual HRESULT STDMETHODCALLTYPE RemoveAutomationEventHandler(int, Element*,
                                                                   EventHandler*) = 0;
    virtual HRESULT STDMETHODCALLTYPE AddPropertyChangedEventHandlerNativeArray(
        Element* element, int scope, void* cacheRequest, PropertyChangedEventHandler* handler,
        int* propertyIds, int propertyCount) = 0;
    virtual HRESULT STDMETHODCALLTYPE AddPropertyChangedEventHandler(Element*, int, void*,
                                                                     PropertyChangedEventHandler*,
                                                                     SAFEARRAY*) = 0;
    virtual HRESULT STDMETHODCALLTYPE
    RemovePropertyChangedEventHandler(Element*, PropertyChangedEventHandler*) = 0;
    virtual HRESULT STDMETHODCALLTYPE AddStructureChangedEventHandler(Element*, int, void*,
                                                                      void*) = 0;
    virtual HRESULT STDMETHODCALLTYPE RemoveStructureChangedEventHandler(Element*, void*) = 0;
    virtual HRESULT STDMETHODCALLTYPE
    AddFocusChangedEventHandler(void* cacheRequest, FocusChangedEventHandler* handler) = 0;
    virtual HRESULT STDMETHODCALLTYPE
    RemoveFocusChangedEventHandler(FocusChangedEventHandler* handler) = 0;
    virtual HRESULT STDMETHODCALLTYPE RemoveAllEventHandlers() = 0;
    virtual HRESULT STDMETHODCALLTYPE IntNativeArrayToSafeArray(int*, int, SAFEARRAY**) = 0;
    virtual HRESULT STDMETHODCALLTYPE IntSafeArrayToNativeArray(SAFEARRAY*, int**, int*) = 0;
    virtual HRESULT STDMETHODCALLTYPE RectToVariant(RECT, VARIANT*) = 0;
    virtual HRESULT STDMETHODCALLTYPE VariantToRect(VARIANT, RECT*) = 0;
    virtual HRESULT STDMETHODCALLTYPE SafeArrayToRectNativeArray(SAFEARRAY*, RECT**, int*) = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateProxyFactoryEntry(void*, void**) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_ProxyFactoryMapping(void**) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetPropertyProgrammaticName(int, BSTR*) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetPatternProgrammaticName(int, BSTR*) = 0;
    virtual HRESULT STDMETHODCALLTYPE PollForPotentialSupportedPatterns(Element*, SAFEARRAY**,
                                                                        SAFEARRAY**) = 0;
    virtual HRESULT STDMETHODCALLTYPE PollForPotentialSupportedProperties(Element*, SAFEARRAY**,
                                                                          SAFEARRAY**) = 0;
    virtual HRESULT STDMETHODCALLTYPE CheckNotSupported(VARIANT, BOOL*) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_ReservedNotSupportedValue(IUnknown**) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_ReservedMixedAttributeValue(IUnknown**) = 0;
    virtual HRESULT STDMETHODCALLTYPE ElementFromIAccessible(void*, int, Element**) = 0;
    virtual HRESULT STDMETHODCALLTYPE ElementFromIAccessibleBuildCache(void*, int, void*,
                                                                       Element**) = 0;
};

// IUIAutomation5, by way of IUIAutomation2 to 4
struct Automation5 : Automation {
    virtual HRESULT STDMETHODCALLTYPE get_AutoSetFocus(BOOL*) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_AutoSetFocus(BOOL) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_ConnectionTimeout(DWORD*) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_ConnectionTimeout(DWORD) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_TransactionTimeout(DWORD*) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_TransactionTimeout(DWORD) = 0;
    virtual HRESULT STDMETHODCALLTYPE AddTextEditTextChangedEventHandler(Element*, int, int, void*,
                                                                         void*) = 0;
    virtual HRESULT STDMETHODCALLTYPE RemoveTextEditTextChangedEventHandler(Element*, void*) = 0;
    virtual HRESULT STDMETHODCALLTYPE AddChangesEventHandler(Element*, int, int*, int, void*,
                                                             void*) = 0;
    virtual HRESULT STDMETHODCALLTYPE RemoveChangesEventHandler(Element*, void*) = 0;
    virtual HRESULT STDMETHODCALLTYPE AddNotificationEventHandler(
        Element* element, int scope, void* cacheRequest, NotificationEventHandler* handler) = 0;
    virtual HRESULT STDMETHODCALLTYPE RemoveNotificationEventHandler(Element*,
                                                                     NotificationEventHandler*) = 0;
};

// Class and interface ids (UIAutomationClient.idl).
constexpr CLSID clsidAutomation = {
    0xff48dba4, 0x60ef, 0x4201, {0xaa, 0x87, 0x54, 0x10, 0x3e, 0xef, 0x59, 0x4e}};
// CUIAutomation8: the same object, with the interfaces of Windows 8 and later (IUIAutomation2 on)
constexpr CLSID clsidAutomation8 = {
    0xe22ad333, 0xb25f, 0x460c, {0x83, 0xd0, 0x05, 0x81, 0x10, 0x73, 0x95, 0xc9}};
constexpr IID iidAutomation = {
    0x30cbe57d, 0xd9d0, 0x452a, {0xab, 0x13, 0x7a, 0xc5, 0xac, 0x48, 0x25, 0xee}};
constexpr IID iidAutomation5 = {
    0x25f700c8, 0xd816, 0x4057, {0xa9, 0xdc, 0x3c, 0xbd, 0xee, 0x77, 0xe2, 0x56}};
constexpr IID iidValuePattern = {
    0xa94cd8b1, 0x0844, 0x4cd6, {0x9d, 0x2d, 0x64, 0x05, 0x37, 0xab, 0x39, 0xe9}};
constexpr IID iidFocusChangedEventHandler = {
    0xc270f6b5, 0x5c69, 0x4290, {0x97, 0x45, 0x7a, 0x7f, 0x97, 0x16, 0x94, 0x68}};
constexpr IID iidEventHandler = {
    0x146c3c17, 0xf12e, 0x4e22, {0x8c, 0x27, 0xf8, 0x94, 0xb9, 0xb7, 0x9c, 0x69}};
constexpr IID iidPropertyChangedEventHandler = {
    0x40cd37d4, 0xc756, 0x4b0c, {0x8c, 0x6f, 0xbd, 0xdf, 0xee, 0xb1, 0x3b, 0x50}};
constexpr IID iidNotificationEventHandler = {
    0xc7cb2637, 0xe6c2, 0x4d0c, {0x85, 0xde, 0x49, 0x48, 0xc0, 0x21, 0x75, 0xc7}};

constexpr int treeScopeSubtree = 7; // the element, its children and their descendants

// Event ids
constexpr int systemAlertEvent = 20023;
constexpr int liveRegionChangedEvent = 20024;
constexpr int windowOpenedEvent = 20016;

constexpr int valuePattern = 10002;

// Property ids
constexpr int controlTypeProperty = 30003;
constexpr int nameProperty = 30005;
constexpr int accessKeyProperty = 30007;
constexpr int hasKeyboardFocusProperty = 30008;
constexpr int helpTextProperty = 30013;
constexpr int isOffscreenProperty = 30022;
constexpr int valueProperty = 30045;
constexpr int rangeValueProperty = 30047;
constexpr int liveSettingProperty = 30135;
constexpr int fullDescriptionProperty = 30159;

} // namespace uia
