// What a Windows screen reader (NVDA, Narrator, JAWS) is given of a program's window, read the
// way it reads it: through UI Automation, from another process. scripts/windows.sh runs it under
// Wine beside the installed program.
//
//   uiaread read TITLE FILE    writes to FILE what UI Automation gives of the shown top-level
//                              window whose whole title matches the regular expression TITLE:
//                              the focused element, what holds it and what lies beside it, and
//                              the window's tree as a screen reader walks it (control view)
//   uiaread watch TITLE FILE   adds a line to FILE for every event that a screen reader acts
//                              on and UI Automation delivers (focus changes, notifications,
//                              live-region changes, alerts, new windows, changed names and
//                              values) until the program that shows the window ends
//
// FILE is written in UTF-8; an element is one line: its control type, its name in quotes, then
// whatever else it has of value, help text, description and access key, and [focused].
// Exit status 0 when it could read, 1 when it could not (the reason written to FILE), 2 for a
// wrong command line.

#include "uiaclient.h"

#include <atomic>
#include <cstdio>
#include <fstream>
#include <mutex>
#include <regex>
#include <string>
#include <vector>

namespace {

// Holds one COM interface pointer and releases it.
template <typename Interface> class Com {
public:
    Com() = default;
    Com(const Com&) = delete;
    Com& operator=(const Com&) = delete;
    ~Com() { reset(); }

    Interface* get() const { return m_pointer; }
    Interface* operator->() const { return m_pointer; }
    explicit operator bool() const { return m_pointer != nullptr; }
    Interface** out()
    {
        reset();
        return &m_pointer;
    }
    void reset()
    {
        if (m_pointer)
            m_pointer->Release();
        m_pointer = nullptr;
    }
    void swap(Com& other) { std::swap(m_pointer, other.m_pointer); }

private:
    Interface* m_pointer = nullptr;
};

std::string utf8(const wchar_t* text, int length = -1)
{
    if (!text || length == 0)
        return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string result(size_t(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, length, result.data(), size, nullptr, nullptr);
    if (length < 0 && !result.empty())
        result.pop_back(); // the terminating zero
    return result;
}

std::string quoted(const std::string& text)
{
    std::string result = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\')
            result += '\\';
        if (c == '\n')
            result += "\\n";
        else if (c != '\r')
            result += c;
    }
    return result + '"';
}

std::string hresult(HRESULT status)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lx", static_cast<unsigned long>(status));
    return text;
}

// A property as text: strings as they are, numbers in decimal, nothing for an empty value or a
// property the element does not give. (Wine 10 answers the Ex form only.)
std::string property(uia::Element* element, int id)
{
    VARIANT value;
    VariantInit(&value);
    if (FAILED(element->GetCurrentPropertyValueEx(id, FALSE, &value)))
        return {};
    std::string text;
    if (value.vt == VT_BSTR)
        text = utf8(value.bstrVal, int(SysStringLen(value.bstrVal)));
    else if (value.vt == VT_I4)
        text = std::to_string(value.lVal);
    else if (value.vt == VT_R8) {
        char number[32];
        std::snprintf(number, sizeof number, "%g", value.dblVal);
        text = number;
    } else if (value.vt == VT_BOOL)
        text = value.boolVal ? "true" : "false";
    VariantClear(&value);
    return text;
}

// The element's value as text, from its Value pattern where the property is not given, as NVDA
// reads it; `why` says why there is none where neither could be read (Wine 10 knows no type of
// the Value pattern's properties and has no patterns).
std::string value(uia::Element* element, std::string* why = nullptr)
{
    VARIANT variant;
    VariantInit(&variant);
    const HRESULT byProperty =
        element->GetCurrentPropertyValueEx(uia::valueProperty, FALSE, &variant);
    if (SUCCEEDED(byProperty) && variant.vt == VT_BSTR) {
        std::string text = utf8(variant.bstrVal, int(SysStringLen(variant.bstrVal)));
        VariantClear(&variant);
        return text;
    }
    VariantClear(&variant);
    Com<uia::ValuePattern> pattern;
    HRESULT byPattern = element->GetCurrentPatternAs(uia::valuePattern, uia::iidValuePattern,
                                                     reinterpret_cast<void**>(pattern.out()));
    BSTR text = nullptr;
    if (SUCCEEDED(byPattern) && pattern)
        byPattern = pattern->get_CurrentValue(&text);
    if (SUCCEEDED(byPattern) && text) {
        std::string result = utf8(text, int(SysStringLen(text)));
        SysFreeString(text);
        return result;
    }
    if (why && FAILED(byProperty) && FAILED(byPattern))
        *why = "property " + hresult(byProperty) + ", pattern " + hresult(byPattern);
    return {};
}

// The control type by its name in Microsoft's documentation (UIA_ButtonControlTypeId is
// "button"), in the order of the ids from 50000 on.
std::string controlType(uia::Element* element)
{
    static const char* const names[] = {
        "button",       "calendar",     "check box",  "combo box",     "edit",      "hyperlink",
        "image",        "list item",    "list",       "menu",          "menu bar",  "menu item",
        "progress bar", "radio button", "scroll bar", "slider",        "spinner",   "status bar",
        "tab",          "tab item",     "text",       "tool bar",      "tool tip",  "tree",
        "tree item",    "custom",       "group",      "thumb",         "data grid", "data item",
        "document",     "split button", "window",     "pane",          "header",    "header item",
        "table",        "title bar",    "separator",  "semantic zoom", "app bar"};
    const std::string id = property(element, uia::controlTypeProperty);
    const int index = id.empty() ? -1 : std::stoi(id) - 50000;
    if (index < 0 || index >= int(std::size(names)))
        return "type " + (id.empty() ? std::string("?") : id);
    return names[index];
}

std::string describe(uia::Element* element)
{
    std::string line = controlType(element) + ' ' + quoted(property(element, uia::nameProperty));
    if (const std::string text = value(element); !text.empty())
        line += " value=" + quoted(text);
    const std::pair<const char*, int> extras[] = {{"range value", uia::rangeValueProperty},
                                                  {"help", uia::helpTextProperty},
                                                  {"description", uia::fullDescriptionProperty},
                                                  {"access key", uia::accessKeyProperty},
                                                  {"live", uia::liveSettingProperty}};
    for (const auto& [label, id] : extras) {
        const std::string text = property(element, id);
        if (!text.empty() && !(id == uia::liveSettingProperty && text == "0"))
            line += std::string(" ") + label + '=' + quoted(text);
    }
    if (property(element, uia::hasKeyboardFocusProperty) == "true")
        line += " [focused]";
    return line;
}

// The shown top-level window whose whole title matches; the titles of all shown windows go to
// `seen`, for the message when none does.
HWND windowTitled(const std::wregex& title, std::string& seen)
{
    struct Search {
        const std::wregex* title;
        std::string* seen;
        HWND found = nullptr;
    } search{&title, &seen};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto* search = reinterpret_cast<Search*>(data);
            wchar_t text[512];
            const int length = GetWindowTextW(window, text, int(std::size(text)));
            if (!IsWindowVisible(window))
                return TRUE;
            *search->seen += ' ' + quoted(utf8(text, length));
            if (!std::regex_match(text, text + length, *search->title))
                return TRUE;
            search->found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Lines of text, written to a file in one piece or, from the event handlers' threads, a line
// at a time as they come.
class Output {
public:
    explicit Output(const wchar_t* path)
        : m_file(path, std::ios::binary | std::ios::trunc)
    {
    }
    bool good() const { return m_file.good(); }
    void line(const std::string& text)
    {
        const std::lock_guard lock(m_mutex);
        m_file << text << '\n';
        m_file.flush();
    }

private:
    std::ofstream m_file;
    std::mutex m_mutex;
};

// The whole tree below `element` as a screen reader walks it, a line an element, indented by
// depth. A tree that goes on too long or too deep (a faulty provider) is cut, and says so.
// The whole tree below `element` as a screen reader walks it, a line an element, indented by
// depth, and the deepest element in it that has the keyboard focus. A tree that goes on too long
// or too deep (a faulty provider) is cut, and says so.
void walkTree(std::vector<std::string>& lines, Com<uia::Element>& focus, uia::TreeWalker* walker,
              uia::Element* element, int depth, int& left)
{
    const std::string line = describe(element);
    lines.push_back(std::string(size_t(depth) * 2, ' ') + line);
    if (line.ends_with("[focused]")) {
        element->AddRef();
        *focus.out() = element;
    }
    if (--left <= 0 || depth >= 16) {
        lines.push_back(std::string(size_t(depth) * 2 + 2, ' ') + "(cut here)");
        return;
    }
    Com<uia::Element> child;
    walker->GetFirstChildElement(element, child.out());
    while (child && left > 0) {
        walkTree(lines, focus, walker, child.get(), depth + 1, left);
        Com<uia::Element> next;
        walker->GetNextSiblingElement(child.get(), next.out());
        child.swap(next);
    }
}

// The focused element as a screen reader reads it on arrival and on "where am I": itself, the
// elements that hold it up to the window, and the elements beside it.
void writeFocus(Output& out, uia::Element* focus, uia::TreeWalker* walker)
{
    out.line("focus: " + describe(focus));
    std::string why;
    if (value(focus, &why).empty() && !why.empty())
        out.line("the focus's value cannot be read: " + why);
    Com<uia::Element> parent;
    walker->GetParentElement(focus, parent.out());
    if (!parent)
        return;
    Com<uia::Element> sibling;
    walker->GetFirstChildElement(parent.get(), sibling.out());
    for (int left = 50; sibling && left > 0; --left) {
        out.line("beside the focus: " + describe(sibling.get()));
        Com<uia::Element> next;
        walker->GetNextSiblingElement(sibling.get(), next.out());
        sibling.swap(next);
    }
    // Up to the window, the program's own top; the desktop that holds it is no part of it.
    for (int left = 16; parent && left > 0; --left) {
        out.line("focus in: " + describe(parent.get()));
        if (property(parent.get(), uia::controlTypeProperty) == "50032")
            break;
        Com<uia::Element> up;
        walker->GetParentElement(parent.get(), up.out());
        parent.swap(up);
    }
}

// A walker that gets from the window to its children, and the view it walks. A screen reader
// walks the control view; Wine 10 makes that walker only from its condition and cannot go down
// in it (a navigation by a "not" condition), so there the walk is the raw view's. For a Qt
// program the two are one: Qt makes every element a control element.
std::string treeWalker(uia::Automation* automation, uia::Element* root,
                       Com<uia::TreeWalker>& walker)
{
    auto goesDown = [&walker, root](HRESULT made) {
        if (FAILED(made) || !walker)
            return made;
        Com<uia::Element> child;
        const HRESULT status = walker->GetFirstChildElement(root, child.out());
        if (FAILED(status))
            walker.reset();
        return status;
    };
    HRESULT status = goesDown(automation->get_ControlViewWalker(walker.out()));
    if (SUCCEEDED(status))
        return "control view";
    Com<IUnknown> condition;
    HRESULT made = automation->get_ControlViewCondition(reinterpret_cast<void**>(condition.out()));
    status = goesDown(SUCCEEDED(made) ? automation->CreateTreeWalker(condition.get(), walker.out())
                                      : made);
    if (SUCCEEDED(status))
        return "control view";
    const std::string why = " (the control view cannot be walked: " + hresult(status) + ")";
    made = automation->get_RawViewCondition(reinterpret_cast<void**>(condition.out()));
    status = goesDown(SUCCEEDED(made) ? automation->CreateTreeWalker(condition.get(), walker.out())
                                      : made);
    if (SUCCEEDED(status))
        return "raw view" + why;
    return "nothing, no walker goes down: " + hresult(status);
}

int read(uia::Automation* automation, HWND window, Output& out)
{
    Com<uia::Element> root;
    HRESULT status = automation->ElementFromHandle(window, root.out());
    if (FAILED(status) || !root) {
        out.line("no element for the window: " + hresult(status));
        return 1;
    }
    Com<uia::TreeWalker> walker;
    out.line("walked: " + treeWalker(automation, root.get(), walker));
    if (!walker)
        return 1;
    out.line("window: " + describe(root.get()));
    std::vector<std::string> tree;
    Com<uia::Element> focus;
    int left = 500;
    walkTree(tree, focus, walker.get(), root.get(), 0, left);
    // The focus is the deepest element of the window that has the keyboard focus, where the
    // last focus change left it. UI Automation's own answer is written beside it: Wine 10 gives
    // the desktop.
    Com<uia::Element> given;
    status = automation->GetFocusedElement(given.out());
    out.line("focused element given: "
             + (SUCCEEDED(status) && given ? describe(given.get()) : "none, " + hresult(status)));
    if (focus)
        writeFocus(out, focus.get(), walker.get());
    else
        out.line("focus: none in the window");
    out.line("tree:");
    for (const std::string& line : tree)
        out.line(line);
    return 0;
}

// Every event handler at once; UI Automation calls it on threads of its own.
class Listener : public uia::FocusChangedEventHandler,
                 public uia::EventHandler,
                 public uia::PropertyChangedEventHandler,
                 public uia::NotificationEventHandler {
public:
    explicit Listener(Output& out)
        : m_out(out)
    {
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (iid == IID_IUnknown || iid == uia::iidFocusChangedEventHandler)
            *object = static_cast<uia::FocusChangedEventHandler*>(this);
        else if (iid == uia::iidEventHandler)
            *object = static_cast<uia::EventHandler*>(this);
        else if (iid == uia::iidPropertyChangedEventHandler)
            *object = static_cast<uia::PropertyChangedEventHandler*>(this);
        else if (iid == uia::iidNotificationEventHandler)
            *object = static_cast<uia::NotificationEventHandler*>(this);
        else {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    // Lives as long as the program does; the count only has to hold the rules.
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }
    ULONG STDMETHODCALLTYPE Release() override { return --m_references; }

    HRESULT STDMETHODCALLTYPE HandleFocusChangedEvent(uia::Element* sender) override
    {
        m_out.line("focus: " + describe(sender));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE HandleAutomationEvent(uia::Element* sender, int eventId) override
    {
        const char* what = eventId == uia::liveRegionChangedEvent ? "live region changed"
                           : eventId == uia::systemAlertEvent     ? "alert"
                                                                  : "window opened";
        m_out.line(std::string(what) + ": " + describe(sender));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE HandlePropertyChangedEvent(uia::Element* sender, int propertyId,
                                                         VARIANT) override
    {
        const char* what = propertyId == uia::nameProperty       ? "name"
                           : propertyId == uia::valueProperty    ? "value"
                           : propertyId == uia::helpTextProperty ? "help"
                                                                 : "range value";
        m_out.line(std::string(what) + " changed: " + describe(sender));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE HandleNotificationEvent(uia::Element* sender, int, int, BSTR text,
                                                      BSTR) override
    {
        m_out.line("notification " + quoted(utf8(text, int(SysStringLen(text)))) + ": "
                   + describe(sender));
        return S_OK;
    }

private:
    Output& m_out;
    std::atomic<ULONG> m_references = 1;
};

int watch(uia::Automation* automation, HWND window, Output& out)
{
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    const HANDLE program = OpenProcess(SYNCHRONIZE, FALSE, processId);
    Com<uia::Element> desktop;
    automation->GetRootElement(desktop.out());
    if (!program || !desktop) {
        out.line("cannot watch: no program or no desktop element");
        return 1;
    }
    // What was asked for and what UI Automation answered, so that the log shows which events
    // could come at all.
    Listener listener(out);
    auto said = [&out](const char* what, HRESULT status) {
        out.line(std::string("listening for ") + what + ": "
                 + (SUCCEEDED(status) ? "yes" : "no, " + hresult(status)));
    };
    said("focus changes", automation->AddFocusChangedEventHandler(nullptr, &listener));
    const std::pair<const char*, int> events[] = {
        {"live-region changes", uia::liveRegionChangedEvent},
        {"alerts", uia::systemAlertEvent},
        {"opened windows", uia::windowOpenedEvent}};
    for (const auto& [what, id] : events)
        said(what, automation->AddAutomationEventHandler(id, desktop.get(), uia::treeScopeSubtree,
                                                         nullptr, &listener));
    int properties[] = {uia::nameProperty, uia::valueProperty, uia::rangeValueProperty,
                        uia::helpTextProperty};
    said("changed names and values", automation->AddPropertyChangedEventHandlerNativeArray(
                                         desktop.get(), uia::treeScopeSubtree, nullptr, &listener,
                                         properties, int(std::size(properties))));
    Com<uia::Automation5> automation5;
    HRESULT status = automation->QueryInterface(uia::iidAutomation5,
                                                reinterpret_cast<void**>(automation5.out()));
    if (SUCCEEDED(status))
        status = automation5->AddNotificationEventHandler(desktop.get(), uia::treeScopeSubtree,
                                                          nullptr, &listener);
    said("notifications", status);

    // Events come on UI Automation's threads; this one only waits for the program to end, for
    // ten minutes at most.
    const ULONGLONG until = GetTickCount64() + 10 * 60 * 1000;
    while (GetTickCount64() < until) {
        const DWORD woken = MsgWaitForMultipleObjects(1, &program, FALSE,
                                                      DWORD(until - GetTickCount64()), QS_ALLINPUT);
        if (woken != WAIT_OBJECT_0 + 1)
            break;
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
    }
    automation->RemoveAllEventHandlers();
    CloseHandle(program);
    out.line("the program has ended");
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    const std::wstring mode = argc == 4 ? argv[1] : L"";
    if (mode != L"read" && mode != L"watch") {
        std::fputs("usage: uiaread read|watch TITLE FILE\n", stderr);
        return 2;
    }
    Output out(argv[3]);
    if (!out.good())
        return 1;
    std::string seen;
    const HWND window = windowTitled(std::wregex(argv[2]), seen);
    if (!window) {
        out.line("no shown window titled " + quoted(utf8(argv[2])) + ", only" + seen);
        return 1;
    }
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    int status = 1;
    {
        // As NVDA does: the object of Windows 8 and later, which also takes notifications.
        Com<uia::Automation> automation;
        HRESULT created = E_FAIL;
        for (const CLSID& object : {uia::clsidAutomation8, uia::clsidAutomation}) {
            created = CoCreateInstance(object, nullptr, CLSCTX_INPROC_SERVER, uia::iidAutomation,
                                       reinterpret_cast<void**>(automation.out()));
            if (SUCCEEDED(created))
                break;
        }
        if (FAILED(created))
            out.line("no UI Automation: " + hresult(created));
        else
            status = mode == L"read" ? read(automation.get(), window, out)
                                     : watch(automation.get(), window, out);
    }
    CoUninitialize();
    return status;
}
