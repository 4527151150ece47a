#include "CRegCommand.h"

#include "CRegistry.h"
#include "CToolError.h"

#include <cstdio>

using platform::CRegistry;

const char* const CRegCommand::kOptions =
    "      query KEY [NAME]   print one value, or every NAME=DATA of the key\n"
    "      add KEY NAME DATA  set a value (the key is created when needed)\n"
    "      delete KEY [NAME]  delete one value, or the whole key\n"
    "      KEY is like HKCU\\Software\\Pixvel (HKEY_CURRENT_USER, HKCU, HKCR);\n"
    "      the store lives in $PIXVEL_REGISTRY_DIR, else ~/.config/pixvel/registry.\n";

namespace {

QString TakeKey(CToolArguments& arguments)
{
    const QString key = arguments.Take("KEY (like HKCU\\Software\\Pixvel)");
    if (CRegistry::KeyFile(key).isEmpty()) {
        throw CToolError(QString("'%1' is not a key: start it with HKEY_CURRENT_USER, HKCU or "
                                 "HKCR and name a key below it")
                             .arg(key));
    }
    return key;
}

void RequireKey(const QString& key)
{
    if (!CRegistry::KeyExists(key)) {
        throw CToolError(QString("the key '%1' does not exist").arg(key));
    }
}

void RequireValue(const QString& key, const QString& name)
{
    RequireKey(key);
    for (const QString& stored : CRegistry::ValueNames(key)) {
        if (stored.compare(name, Qt::CaseInsensitive) == 0) {
            return;
        }
    }
    throw CToolError(QString("the key '%1' has no value '%2'").arg(key, name));
}

int Query(CToolArguments& arguments)
{
    const QString key = TakeKey(arguments);
    if (!arguments.AtEnd()) {
        const QString name = arguments.Take("NAME");
        arguments.ExpectEnd();
        RequireValue(key, name);
        std::printf("%s\n", qPrintable(CRegistry::Read(key, name)));
        return 0;
    }
    RequireKey(key);
    for (const QString& name : CRegistry::ValueNames(key)) {
        std::printf("%s=%s\n", qPrintable(name), qPrintable(CRegistry::Read(key, name)));
    }
    return 0;
}

int Add(CToolArguments& arguments)
{
    const QString key = TakeKey(arguments);
    const QString name = arguments.Take("NAME");
    const QString data = arguments.Take("DATA");
    arguments.ExpectEnd();
    if (!CRegistry::Write(key, name, data)) {
        throw CToolError(QString("cannot write '%1' under '%2'").arg(name, key));
    }
    return 0;
}

int Delete(CToolArguments& arguments)
{
    const QString key = TakeKey(arguments);
    if (arguments.AtEnd()) {
        RequireKey(key);
        if (!CRegistry::DeleteKey(key)) {
            throw CToolError(QString("cannot delete the key '%1'").arg(key));
        }
        return 0;
    }
    const QString name = arguments.Take("NAME");
    arguments.ExpectEnd();
    RequireValue(key, name);
    if (!CRegistry::DeleteValue(key, name)) {
        throw CToolError(QString("cannot delete '%1' under '%2'").arg(name, key));
    }
    return 0;
}

} // namespace

int CRegCommand::Run(CToolArguments& arguments)
{
    const QString action = arguments.Take("query, add or delete");
    if (action == "query") {
        return Query(arguments);
    }
    if (action == "add") {
        return Add(arguments);
    }
    if (action == "delete") {
        return Delete(arguments);
    }
    throw CToolError(QString("unknown reg action '%1' (query, add or delete)").arg(action));
}
