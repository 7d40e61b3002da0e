<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="sk_SK">
<context>
    <name>Localizable</name>
    <message>
        <source>title_network_connection_required</source>
        <translation>Je potrebné pripojenie k sieti. Skontrolujte, či je počítač online.</translation>
    </message>
    <message>
        <source>title_enter_server_name</source>
        <translation>Zadajte názov servera v nastaveniach.</translation>
    </message>
    <message>
        <source>title_enter_login_password</source>
        <translation>Zadajte prihlasovacie meno a heslo v nastaveniach.</translation>
    </message>
    <message>
        <source>title_client</source>
        <translation>Klient</translation>
    </message>
    <message>
        <source>title_project</source>
        <translation>Projekt</translation>
    </message>
</context>
</TS>
