// Logs on to the embedded database, creates a table, inserts two rows with typed
// parameters, reads them back and shows how a failure arrives.
#include <vordb.h>

#include <iostream>

using namespace Oracle;

int main()
{
    try {
        // The first logon of a name creates its database (files under VOR_DATA_DIR).
        Utils::RefCountPtr<ODbConnect> connection = ODbClassfactory::createODbConnect("scott/tiger");

        ODbQuery create(*connection);
        create.open("create table planets (name varchar2(20), moons number)");
        create.exec(1);

        // Two rows in one execution: each parameter holds two elements.
        ODbQuery insert(*connection);
        insert.open("insert into planets (name, moons) values (:name, :moons)");
        insert.paramByName("name").initParam(supCString, 20, 2);
        insert.paramByName("moons").initParam(supLongInt, 0, 2);
        insert.paramByName("name").setCString("Mars", 0);
        insert.paramByName("moons").setLongInt(2, 0);
        insert.paramByName("name").setCString("Earth", 1);
        insert.paramByName("moons").setLongInt(1, 1);
        insert.exec(2);
        connection->commit();

        ODbQuery select(*connection);
        select.open("select name, moons from planets where moons >= :least order by moons desc");
        select.paramByName("least").initParam(supLongInt, 0, 1);
        select.paramByName("least").setLongInt(1);
        while (select.next())
            std::cout << select.fieldByName("NAME").getString() << " has "
                      << select.fieldByPos(2).getLongInt() << " moon(s)\n";

        ODbQuery missing(*connection);
        missing.open("select * from moons");
    } catch (const ODbException& failure) {
        // Where a statement failed, its text; then the message, which the server
        // ends with a line break of its own.
        if (failure.getStmText() != nullptr)
            std::cout << "statement: " << failure.getStmText() << "\n";
        std::cout << "failed with code " << failure.getErrCode() << ": " << failure.getErrMsg();
        return 1;
    }
    return 0;
}
