#include "CVelunarCtrlCtrl.h"
#include "CVelunarRegistration.h"
#include "CWindowLink.h"
#include "ClassRegistration.h"
#include "VelunarIds.h"
#include "WebctrlTesting.h"

#include <QApplication>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <array>

#include <dlfcn.h>

using namespace com;
using platform::CRegistry;

namespace {

VARIANT Argument(const std::u16string& text)
{
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_BSTR;
    value.bstrVal = SysAllocStringLen(text.data(), UINT(text.size()));
    return value;
}

VARIANT Argument(LONG number)
{
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_I4;
    value.lVal = number;
    return value;
}

// Invokes a method with the arguments in order (Invoke takes them last
// first), then frees them.
HRESULT Call(IDispatch& control, DISPID id, std::vector<VARIANT> arguments,
             VARIANT* result = nullptr, UINT* argumentError = nullptr, WORD flags = DISPATCH_METHOD)
{
    std::reverse(arguments.begin(), arguments.end());
    DISPPARAMS parameters{arguments.data(), nullptr, UINT(arguments.size()), 0};
    const HRESULT status =
        control.Invoke(id, IID_NULL, 0, flags, &parameters, result, nullptr, argumentError);
    for (VARIANT& value : arguments) {
        VariantClear(&value);
    }
    return status;
}

// A control made directly, released at the end.
class ControlTest : public ::testing::Test
{
protected:
    ~ControlTest() override { control_->Release(); }

    CTestInstallation installation_;
    CVelunarCtrlCtrl* control_ = new CVelunarCtrlCtrl;
};

TEST_F(ControlTest, NamesMethodsWithoutRegardToCase)
{
    const std::vector<std::pair<std::u16string, DISPID>> names = {
        {u"ClipDownload", 1}, {u"downloadername", 2}, {u"REGISTRYPATH", 3}, {u"AboutBox", -552}};
    for (auto [name, expected] : names) {
        OLECHAR* text = name.data();
        DISPID id = 0;
        EXPECT_EQ(control_->GetIDsOfNames(IID_NULL, &text, 1, 0, &id), S_OK);
        EXPECT_EQ(id, expected);
    }
    std::u16string unknown = u"ClipDownloads";
    std::u16string parameter = u"strName";
    OLECHAR* withParameter[] = {unknown.data(), parameter.data()};
    DISPID ids[2] = {0, 0};
    EXPECT_EQ(control_->GetIDsOfNames(IID_NULL, withParameter, 1, 0, ids), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(ids[0], DISPID_UNKNOWN);
    std::u16string known = u"DownloaderName";
    withParameter[0] = known.data();
    EXPECT_EQ(control_->GetIDsOfNames(IID_NULL, withParameter, 2, 0, ids), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(ids[0], 2);
    EXPECT_EQ(ids[1], DISPID_UNKNOWN);
}

TEST_F(ControlTest, InvokeChecksTheCall)
{
    UINT argumentError = 99;
    EXPECT_EQ(Call(*control_, 2, {}), DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(Call(*control_, 4, {Argument(u"x")}), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(Call(*control_, 2, {Argument(u"x")}, nullptr, nullptr, DISPATCH_PROPERTYGET),
              DISP_E_MEMBERNOTFOUND);
    // The size of ClipDownload is the last argument, so it comes first.
    EXPECT_EQ(Call(*control_, 1,
                   {Argument(u"a"), Argument(u"http://h/a"), Argument(u"a"), Argument(u"1 MB")},
                   nullptr, &argumentError),
              DISP_E_TYPEMISMATCH);
    EXPECT_EQ(argumentError, 0u);

    VARIANT name = Argument(u"x");
    DISPID named = 0;
    DISPPARAMS parameters{&name, &named, 1, 1};
    EXPECT_EQ(
        control_->Invoke(2, IID_NULL, 0, DISPATCH_METHOD, &parameters, nullptr, nullptr, nullptr),
        DISP_E_NONAMEDARGS);
    EXPECT_EQ(control_->Invoke(2, IID_IDispatch, 0, DISPATCH_METHOD, &parameters, nullptr, nullptr,
                               nullptr),
              DISP_E_UNKNOWNINTERFACE);
    VariantClear(&name);

    // A number where text is declared is taken as its decimal text.
    EXPECT_EQ(Call(*control_, 2, {Argument(2024)}), S_OK);
    UINT count = 9;
    EXPECT_EQ(control_->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 0u);
}

TEST_F(ControlTest, AnswersForItsInterfacesOnly)
{
    void* unknown = nullptr;
    void* dispatch = nullptr;
    void* own = nullptr;
    void* factory = &own;
    ASSERT_EQ(control_->QueryInterface(IID_IUnknown, &unknown), S_OK);
    ASSERT_EQ(control_->QueryInterface(IID_IDispatch, &dispatch), S_OK);
    ASSERT_EQ(control_->QueryInterface(velunar::kDispatchId, &own), S_OK);
    EXPECT_EQ(unknown, dispatch);
    EXPECT_EQ(own, dispatch);
    EXPECT_EQ(control_->QueryInterface(IID_IClassFactory, &factory), E_NOINTERFACE);
    EXPECT_EQ(factory, nullptr);
    EXPECT_EQ(control_->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
    EXPECT_EQ(control_->Release(), 3u);
    control_->Release();
    EXPECT_EQ(control_->Release(), 1u);
}

TEST_F(ControlTest, ClipDownloadWithoutATitleStartsNothing)
{
    installation_.LinkStandIn();
    control_->RegistryPath(kTestKey, "PixvelDownloader");
    QElapsedTimer clock;
    clock.start();
    VARIANT result;
    ASSERT_EQ(Call(*control_, 1,
                   {Argument(u"pack"), Argument(u"http://127.0.0.1/p.zip"),
                    Argument(u"items/p.zip"), Argument(10)},
                   &result),
              S_OK);
    EXPECT_EQ(result.vt, VT_BOOL);
    EXPECT_EQ(result.boolVal, VARIANT_FALSE);
    EXPECT_LT(clock.elapsed(), 1000);
    EXPECT_TRUE(installation_.Started().isEmpty());
}

TEST_F(ControlTest, KeysMustStayUnderTheirHive)
{
    for (const char* key : {"Software\\Pixvel", "Software/Pixvel", "Software\\한글 키\\x"}) {
        EXPECT_TRUE(CVelunarCtrlCtrl::IsKeyUnderHive(key)) << key;
    }
    for (const char* key :
         {"", "\\Software\\Pixvel", "/Software", "Software\\..\\..\\x", "Software/../x", "..",
          "Software\\.\\Pixvel", "Software\\\\Pixvel", "Software\\Pixvel\\"}) {
        EXPECT_FALSE(CVelunarCtrlCtrl::IsKeyUnderHive(key)) << key;
    }
}

// The refusals hold before any window is looked for or program started:
// the stand-in under a refused name or key would otherwise be started.
TEST_F(ControlTest, RefusedKeyProgramOrRequestStartsNothing)
{
    installation_.LinkStandIn("sub/PixvelDownloader");
    installation_.LinkStandIn();
    // Where a key leading out of its place would land.
    CTestInstallation::SetValue("Software", "APPS_PATH", installation_.Install());
    control_->DownloaderName("PixvelDownloader");
    const auto clip = [this](const QString& url, const QString& file) {
        return control_->ClipDownload("pack", url, file, 1);
    };
    control_->RegistryPath(kTestKey, "sub/PixvelDownloader");
    EXPECT_FALSE(clip("http://127.0.0.1/p.zip", "p.zip"));
    control_->RegistryPath("Software\\PixvelTest\\..", "PixvelDownloader");
    EXPECT_FALSE(clip("http://127.0.0.1/p.zip", "p.zip"));
    control_->RegistryPath(kTestKey, "PixvelDownloader");
    EXPECT_FALSE(clip("file:///etc/passwd", "p.zip"));
    EXPECT_FALSE(clip("http://127.0.0.1/p.zip", "../../p.zip"));
    EXPECT_FALSE(clip("http://127.0.0.1/p.zip", "/tmp/p.zip"));
    EXPECT_TRUE(installation_.Started().isEmpty());
}

// A page may name only the downloader: another program of the installation
// (the editor, the updater) is never started, nor is a request sent to
// another window.
TEST_F(ControlTest, StartsOnlyTheDownloader)
{
    installation_.LinkStandIn("Pixvel");
    installation_.LinkStandIn("PixvelUpdate");
    for (const char* program : {"Pixvel", "PixvelUpdate", "pixvel-tool", "pixveldownloader"}) {
        control_->DownloaderName(program);
        control_->RegistryPath(kTestKey, program);
        EXPECT_FALSE(control_->ClipDownload("pack", "http://127.0.0.1/p.zip", "p.zip", 1))
            << program;
        control_->DownloaderName("PixvelDownloader");
        EXPECT_FALSE(control_->ClipDownload("pack", "http://127.0.0.1/p.zip", "p.zip", 1))
            << program;
    }
    control_->DownloaderName("Pixvel");
    control_->RegistryPath(kTestKey, "PixvelDownloader");
    EXPECT_FALSE(control_->ClipDownload("pack", "http://127.0.0.1/p.zip", "p.zip", 1));
    EXPECT_TRUE(installation_.Started().isEmpty());
}

// The downloader cuts its text at a NUL and splits it at "||": a field
// holding either would reach it as other fields than the ones checked.
TEST_F(ControlTest, RefusesNulAndSeparatorsInEveryField)
{
    installation_.LinkStandIn();
    control_->DownloaderName("PixvelDownloader");
    control_->RegistryPath(kTestKey, "PixvelDownloader");
    const QString nul(QChar(0));
    const QString url = "http://127.0.0.1/p.zip";
    const std::vector<std::array<QString, 3>> requests = {
        {"pack" + nul + "||file:///etc/passwd||x", url, "p.zip"},
        {"pack||x", url, "p.zip"},
        {"pack", url + nul + "x", "p.zip"},
        {"pack", url + "||x", "p.zip"},
        {"pack", url, "p.zip" + nul + "/../../x"},
        {"pack", url, "p||.zip"}};
    for (const auto& [name, address, file] : requests) {
        EXPECT_FALSE(control_->ClipDownload(name, address, file, 1)) << name.toStdString();
    }
    EXPECT_TRUE(installation_.Started().isEmpty());
}

// A request the window link cannot carry is refused before the downloader
// would be started for it.
TEST_F(ControlTest, OversizedRequestStartsNothing)
{
    installation_.LinkStandIn();
    control_->DownloaderName("PixvelDownloader");
    control_->RegistryPath(kTestKey, "PixvelDownloader");
    const QString name(platform::CWindowLink::kMaxBytes, 'n');
    EXPECT_FALSE(control_->ClipDownload(name, "http://127.0.0.1/p.zip", "p.zip", 1));
    EXPECT_TRUE(installation_.Started().isEmpty());
}

TEST(ControlDrawingTest, DrawsAWhiteRectangleWithAnEllipse)
{
    QImage image(41, 31, QImage::Format_ARGB32);
    image.fill(Qt::red);
    QPainter painter(&image);
    CVelunarCtrlCtrl::OnDraw(painter, QRect(0, 0, 41, 31));
    painter.end();
    EXPECT_EQ(image.pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(40, 30), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(20, 15), qRgb(255, 255, 255));
    EXPECT_LT(qGray(image.pixel(0, 15)), 128); // the ellipse touches each side
    EXPECT_LT(qGray(image.pixel(20, 0)), 128);
    EXPECT_LT(qGray(image.pixel(20, 30)), 128);
}

TEST(ControlAboutTest, ShowsTheAboutBoxModally)
{
    EnsureApplication();
    QString title;
    QStringList texts;
    QTimer::singleShot(0, [&] {
        QWidget* box = QApplication::activeModalWidget();
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        for (const QLabel* label : box->findChildren<QLabel*>()) {
            texts << label->text();
        }
        const auto buttons = box->findChildren<QPushButton*>();
        ASSERT_EQ(buttons.size(), 1);
        texts << buttons[0]->text();
        buttons[0]->click();
    });
    CVelunarCtrlCtrl* control = new CVelunarCtrlCtrl;
    EXPECT_EQ(Call(*control, DISPID_ABOUTBOX, {}), S_OK);
    control->Release();
    EXPECT_EQ(title, "About VelunarCtrl Control");
    EXPECT_TRUE(texts.contains("VelunarCtrl Control, Version 1.0"));
    EXPECT_TRUE(texts.contains("OK"));
}

// The registry files below HKEY_CLASSES_ROOT, relative to it.
QStringList ClassesFiles(const CTestInstallation& installation)
{
    QStringList files;
    const QString root = installation.Registry() + "/HKEY_CLASSES_ROOT";
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        files << it.next().mid(root.size() + 1);
    }
    files.sort();
    return files;
}

QString ClassesValue(const QString& key, const QString& name = kDefaultValueName)
{
    return CRegistry::Read(kClassesRoot + key, name);
}

TEST(RegistrationTest, WritesTheClassesAndRemovesExactlyThat)
{
    CTestInstallation installation;
    const QString module = "/opt/pixvel/libvelunarctrl.so";
    CTestInstallation::SetValue("Software\\Other", "keep", "1");
    CRegistry::Write(kClassesRoot + QString("CLSID"), "foreign", "stays");
    ASSERT_EQ(CVelunarRegistration::Register(module), S_OK);

    const QString control = "CLSID\\{6CCF2600-8E27-488A-A4E8-0736D4599923}";
    EXPECT_EQ(ClassesValue(control), "VelunarCtrl Control");
    EXPECT_EQ(ClassesValue(control + "\\InprocServer32"), module);
    EXPECT_EQ(ClassesValue(control + "\\InprocServer32", "ThreadingModel"), "Apartment");
    EXPECT_EQ(ClassesValue(control + "\\ProgID"), "VELUNARCTRL.VelunarCtrlCtrl.1");
    EXPECT_EQ(ClassesValue(control + "\\MiscStatus"), "131473");
    EXPECT_EQ(ClassesValue(control + "\\TypeLib"), "{73A4DCE7-8F7A-4A29-B90A-E0F6E17D7F15}");
    EXPECT_EQ(ClassesValue(control + "\\Version"), "1.0");
    EXPECT_EQ(ClassesValue(control + "\\ToolboxBitmap32"), module + ", 1");
    EXPECT_TRUE(CRegistry::KeyExists(kClassesRoot + control + "\\Control"));
    EXPECT_EQ(ClassesValue("VELUNARCTRL.VelunarCtrlCtrl.1\\CLSID"),
              "{6CCF2600-8E27-488A-A4E8-0736D4599923}");
    const QString page = "CLSID\\{4E8F6C38-8186-40A7-BD17-E0081CBF5F47}";
    EXPECT_EQ(ClassesValue(page), "VelunarCtrl Property Page");
    EXPECT_EQ(ClassesValue(page + "\\InprocServer32"), module);
    EXPECT_EQ(ClassesValue("VELUNARCTRL.VelunarCtrlPropPage.1\\CLSID"),
              "{4E8F6C38-8186-40A7-BD17-E0081CBF5F47}");
    EXPECT_EQ(ClassesValue("TypeLib\\{73A4DCE7-8F7A-4A29-B90A-E0F6E17D7F15}\\1.0"),
              "VelunarCtrl ActiveX Control module");
    EXPECT_EQ(ClassesValue("Interface\\{86B8B67C-8657-4DD6-B29B-74EA892AE695}"), "_DVelunarCtrl");
    EXPECT_EQ(ClassesValue("Interface\\{67C484FD-AA4F-47B2-BECA-76C1E1FC10A1}\\TypeLib", "Version"),
              "1.0");

    ASSERT_EQ(CVelunarRegistration::Unregister(), S_OK);
    EXPECT_EQ(ClassesFiles(installation), QStringList{"clsid.ini"});
    EXPECT_EQ(ClassesValue("CLSID", "foreign"), "stays");
    EXPECT_EQ(CRegistry::Read("HKCU\\Software\\Other", "keep"), "1");
    EXPECT_EQ(CVelunarRegistration::Unregister(), SELFREG_E_TYPELIB);
}

TEST(RegistrationTest, ReportsWhichPartFailed)
{
    CTestInstallation installation;
    ASSERT_EQ(CVelunarRegistration::Register("/m.so"), S_OK);
    ASSERT_TRUE(CRegistry::DeleteKey(kClassesRoot +
                                     QString("CLSID\\{4E8F6C38-8186-40A7-BD17-E0081CBF5F47}")));
    EXPECT_EQ(CVelunarRegistration::Unregister(), SELFREG_E_CLASS);
    EXPECT_TRUE(ClassesFiles(installation).isEmpty()); // the rest went all the same

    // A settings store that cannot be written.
    QFile(installation.Registry()).remove();
    QDir(installation.Registry()).removeRecursively();
    QFile blocker(installation.Registry());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    EXPECT_EQ(CVelunarRegistration::Register("/m.so"), SELFREG_E_TYPELIB);
}

// The module as a host loads it: class objects, objects and the unload test.
class ModuleTest : public ::testing::Test
{
protected:
    ModuleTest()
    {
        module_ = dlopen(PIXVEL_VELUNAR_MODULE, RTLD_NOW | RTLD_LOCAL);
        getClassObject_ =
            reinterpret_cast<DllGetClassObjectFunction>(dlsym(module_, "DllGetClassObject"));
        canUnloadNow_ =
            reinterpret_cast<DllCanUnloadNowFunction>(dlsym(module_, "DllCanUnloadNow"));
    }
    ~ModuleTest() override { dlclose(module_); }

    IClassFactory* Factory(const CLSID& clsid)
    {
        void* factory = nullptr;
        EXPECT_EQ(getClassObject_(clsid, IID_IClassFactory, &factory), S_OK);
        return static_cast<IClassFactory*>(factory);
    }

    void* module_ = nullptr;
    DllGetClassObjectFunction getClassObject_ = nullptr;
    DllCanUnloadNowFunction canUnloadNow_ = nullptr;
};

TEST_F(ModuleTest, ExportsOnlyItsEntryPoints)
{
    ASSERT_NE(module_, nullptr) << dlerror();
    for (const char* name :
         {"DllGetClassObject", "DllCanUnloadNow", "DllRegisterServer", "DllUnregisterServer"}) {
        EXPECT_NE(dlsym(module_, name), nullptr) << name;
    }
    EXPECT_EQ(dlsym(module_, "SysAllocString"), nullptr);
}

TEST_F(ModuleTest, CanUnloadOnlyWhenNothingIsHeld)
{
    ASSERT_EQ(canUnloadNow_(), S_OK);
    IClassFactory* factory = Factory(velunar::kControlClassId);
    ASSERT_NE(factory, nullptr);
    EXPECT_EQ(canUnloadNow_(), S_FALSE);

    EXPECT_EQ(factory->LockServer(TRUE), S_OK);
    IDispatch* control = nullptr;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IDispatch, reinterpret_cast<void**>(&control)),
              S_OK);
    void* aggregated = nullptr;
    EXPECT_EQ(factory->CreateInstance(control, IID_IUnknown, &aggregated), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(factory->Release(), 0u);
    EXPECT_EQ(canUnloadNow_(), S_FALSE); // the object and the lock hold it
    EXPECT_EQ(control->Release(), 0u);
    EXPECT_EQ(canUnloadNow_(), S_FALSE); // the lock

    factory = Factory(velunar::kControlClassId);
    factory->LockServer(FALSE);
    factory->LockServer(FALSE); // one too many: ignored
    factory->Release();
    EXPECT_EQ(canUnloadNow_(), S_OK);
    factory = Factory(velunar::kControlClassId);
    factory->LockServer(TRUE);
    factory->LockServer(FALSE);
    factory->Release();
    EXPECT_EQ(canUnloadNow_(), S_OK);
}

TEST_F(ModuleTest, MakesTheControlAndThePropertyPage)
{
    IClassFactory* pages = Factory(velunar::kPropPageClassId);
    ASSERT_NE(pages, nullptr);
    IUnknown* page = nullptr;
    void* dispatch = &page;
    EXPECT_EQ(pages->CreateInstance(nullptr, IID_IDispatch, &dispatch), E_NOINTERFACE);
    EXPECT_EQ(dispatch, nullptr);
    ASSERT_EQ(pages->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&page)), S_OK);
    page->Release();
    pages->Release();

    void* object = &page;
    EXPECT_EQ(getClassObject_(velunar::kLibraryId, IID_IClassFactory, &object),
              CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(getClassObject_(velunar::kControlClassId, IID_IDispatch, &object), E_NOINTERFACE);
    EXPECT_EQ(canUnloadNow_(), S_OK);
}

} // namespace
