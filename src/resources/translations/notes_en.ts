<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>Localizable</name>
    <message>
        <source>title_network_connection_required</source>
        <translation>A network connection is required. Check that this computer is online.</translation>
    </message>
    <message>
        <source>title_enter_server_name</source>
        <translation>Enter the server name in Preferences.</translation>
    </message>
    <message>
        <source>title_enter_login_password</source>
        <translation>Enter your login and password in Preferences.</translation>
    </message>
    <message>
        <source>title_client</source>
        <translation>Client</translation>
    </message>
    <message>
        <source>title_project</source>
        <translation>Project</translation>
    </message>
</context>
</TS>
