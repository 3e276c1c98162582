<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="it_IT" sourcelanguage="en">
<context>
    <name>CallLog</name>
    <message>
        <source>the call log %1 is written again; %2 call(s) may be missing from it</source>
        <translation>il registro chiamate %1 viene di nuovo scritto; potrebbero mancarvi delle chiamate (%2)</translation>
    </message>
    <message>
        <source>cannot write the call log %1: %2; the calls are still listed in the window and the journal, and the file is tried again at the next call</source>
        <translation>impossibile scrivere il registro chiamate %1: %2; le chiamate restano elencate nella finestra e nel giornale di sistema, e alla prossima chiamata si riprova a scrivere il file</translation>
    </message>
    <message>
        <source>the file is not open</source>
        <translation>il file non è aperto</translation>
    </message>
    <message>
        <source>only %1 of %2 bytes written</source>
        <translation>scritti solo %1 byte su %2</translation>
    </message>
</context>
<context>
    <name>CallMonitor</name>
    <message>
        <source>the missed-call list&apos;s newest entry is %1 but the call came from %2 (its caller line); logging the caller line&apos;s number</source>
        <translation>la voce più recente dell&apos;elenco delle chiamate perse è %1, ma la chiamata veniva da %2 (secondo la riga del chiamante): si registra il numero della riga del chiamante</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Displays help on commandline options.</source>
        <translation>Mostra l&apos;aiuto sulle opzioni della riga di comando.</translation>
    </message>
    <message>
        <source>Device of COM 1 (default: the first USB serial device, else /dev/ttyS0).</source>
        <translation>Dispositivo di COM 1 (predefinito: il primo dispositivo seriale USB, altrimenti /dev/ttyS0).</translation>
    </message>
    <message>
        <source>PATH</source>
        <translation>PERCORSO</translation>
    </message>
    <message>
        <source>Device of COM 2 (default: the second USB serial device, else /dev/ttyS1).</source>
        <translation>Dispositivo di COM 2 (predefinito: il secondo dispositivo seriale USB, altrimenti /dev/ttyS1).</translation>
    </message>
    <message>
        <source>Append each event line to FILE, after its date and time (ISO 8601) and a tab. A missing FILE is created with mode 0600; FILE is never truncated.</source>
        <translation>Aggiunge ogni riga della lista eventi in fondo a FILE, dopo la data e l&apos;ora (ISO 8601) e una tabulazione. Se FILE non esiste viene creato con permessi 0600; FILE non viene mai troncato.</translation>
    </message>
    <message>
        <source>FILE</source>
        <translation>FILE</translation>
    </message>
    <message>
        <source>Without a window: check whether the phone (on --com1, else the first serial device that answers) will work, and print a report. Exit status 0: no problem, 1: a problem, 2: the port cannot be opened.</source>
        <translation>Senza finestra: verifica se il telefono (su --com1, altrimenti il primo dispositivo seriale che risponde) funzionerà, e stampa un rapporto. Codice di uscita 0: nessun problema, 1: almeno un problema, 2: impossibile aprire la porta.</translation>
    </message>
    <message>
        <source>With --check-phone: set the fixes the report gives, store them in the phone (AT&amp;W) and check again.</source>
        <translation>Con --check-phone: applica le correzioni indicate nel rapporto, le memorizza nel telefono (AT&amp;W) e ripete la verifica.</translation>
    </message>
    <message>
        <source>List the serial devices present, whether they are busy, and what COM 1 and COM 2 stand for; no window.</source>
        <translation>Elenca i dispositivi seriali presenti, se sono occupati e a quali dispositivi corrispondono COM 1 e COM 2; senza finestra.</translation>
    </message>
    <message>
        <source>COM 1 is a simulated phone whose demo caller gives a short ring a few seconds after the port is opened, then every 30 seconds.</source>
        <translation>COM 1 è un telefono simulato, il cui chiamante di prova fa uno squillo pochi secondi dopo l&apos;apertura della porta e poi ogni 30 secondi.</translation>
    </message>
    <message>
        <source>Watches a GSM phone on a serial port, logs its calls and calls short signalling rings (squilli) back.</source>
        <translation>Sorveglia un telefono GSM collegato a una porta seriale, registra le sue chiamate e richiama chi fa uno squillo.</translation>
    </message>
    <message>
        <source>--fix goes with --check-phone (see --help)</source>
        <translation>--fix si usa insieme a --check-phone (vedere --help)</translation>
    </message>
    <message>
        <source>--check-phone takes only --com1 PATH and --fix</source>
        <translation>--check-phone accetta solo --com1 PERCORSO e --fix</translation>
    </message>
    <message>
        <source>unexpected argument %1 (see --help)</source>
        <translation>argomento non previsto %1 (vedere --help)</translation>
    </message>
    <message>
        <source>--demo puts the simulated phone on COM 1: leave out --com1</source>
        <translation>--demo mette il telefono simulato su COM 1: togliere --com1</translation>
    </message>
    <message>
        <source>COM 1 is the simulated phone on %1 - open the port, switch the responder on, and wait for the demo caller</source>
        <translation>COM 1 è il telefono simulato su %1 - aprire la porta, attivare il risponditore e attendere lo squillo del chiamante di prova</translation>
    </message>
    <message>
        <source>cannot open the call log %1: %2</source>
        <translation>impossibile aprire il registro chiamate %1: %2</translation>
    </message>
    <message>
        <source>cannot watch quit signals: %1</source>
        <translation>impossibile sorvegliare i segnali di chiusura: %1</translation>
    </message>
</context>
<context>
    <name>DemoPhone</name>
    <message>
        <source>cannot start the simulated phone %1: %2</source>
        <translation>impossibile avviare il telefono simulato %1: %2</translation>
    </message>
    <message>
        <source>the simulated phone ended by a crash</source>
        <translation>il telefono simulato è terminato per un arresto anomalo</translation>
    </message>
    <message>
        <source>the simulated phone ended with status %1</source>
        <translation>il telefono simulato è terminato con codice di uscita %1</translation>
    </message>
    <message>
        <source>the simulated phone %1 put up no line within %2 s</source>
        <translation>il telefono simulato %1 non ha aperto la sua linea entro %2 s</translation>
    </message>
    <message>
        <source>the simulated phone %1 ended before its line was up</source>
        <translation>il telefono simulato %1 è terminato prima di aprire la sua linea</translation>
    </message>
    <message>
        <source>the simulated phone did not end on SIGTERM; killing it</source>
        <translation>il telefono simulato non è terminato con SIGTERM: lo si termina con SIGKILL</translation>
    </message>
</context>
<context>
    <name>Form1</name>
    <message>
        <source>ESCI: the phone&apos;s reset answered %1</source>
        <translation>ESCI: il ripristino del telefono ha risposto %1</translation>
    </message>
</context>
<context>
    <name>ModemManager</name>
    <message>
        <source>every device %1:%2</source>
        <translation>ogni dispositivo %1:%2</translation>
    </message>
    <message>
        <source>ModemManager manages this device as modem %1%2 (ports %3).
  For now: run &apos;sudo mmcli -m %1 --inhibit&apos; and leave it running (ModemManager lets go of the device until you stop it with Ctrl+C), or stop the service: &apos;sudo systemctl stop ModemManager&apos;.
  For good: make ModemManager ignore %4 with this line in /etc/udev/rules.d/78-mm-ignore-tornasquillo.rules:
    ACTION==&quot;add|change|move|bind&quot;, %5, ENV{ID_MM_DEVICE_IGNORE}=&quot;1&quot;
  then run &apos;sudo udevadm control --reload&apos; and plug the phone in again.</source>
        <translation>ModemManager gestisce questo dispositivo come modem %1%2 (porte %3).
  Per ora: eseguire &apos;sudo mmcli -m %1 --inhibit&apos; e lasciarlo in esecuzione (ModemManager lascia libero il dispositivo finché non lo si ferma con Ctrl+C), oppure fermare il servizio: &apos;sudo systemctl stop ModemManager&apos;.
  In modo permanente: far ignorare a ModemManager %4 con questa riga in /etc/udev/rules.d/78-mm-ignore-tornasquillo.rules:
    ACTION==&quot;add|change|move|bind&quot;, %5, ENV{ID_MM_DEVICE_IGNORE}=&quot;1&quot;
  poi eseguire &apos;sudo udevadm control --reload&apos; e ricollegare il telefono.</translation>
    </message>
</context>
<context>
    <name>PortControl</name>
    <message>
        <source>COM %1 is back after %2 s and open again (by itself)</source>
        <translation>COM %1 è tornata dopo %2 s ed è di nuovo aperta (da sola)</translation>
    </message>
    <message>
        <source>COM %1 is back after %2 s and open again (by the operator)</source>
        <translation>COM %1 è tornata dopo %2 s ed è di nuovo aperta (dall&apos;operatore)</translation>
    </message>
    <message>
        <source>COM %1 lost; it opens again by itself when the device is back</source>
        <translation>COM %1 persa; si riapre da sola quando il dispositivo torna</translation>
    </message>
</context>
<context>
    <name>PortList</name>
    <message>
        <source>no permission to open it</source>
        <translation>nessun permesso per aprirlo</translation>
    </message>
    <message>
        <source>free</source>
        <translation>libero</translation>
    </message>
    <message>
        <source>busy</source>
        <translation>occupato</translation>
    </message>
    <message>
        <source>unknown</source>
        <translation>stato sconosciuto</translation>
    </message>
    <message>
        <source>locked by pid %1</source>
        <translation>bloccato dal pid %1</translation>
    </message>
    <message>
        <source>locked by pid %1 %2</source>
        <translation>bloccato dal pid %1 %2</translation>
    </message>
    <message>
        <source>held in exclusive mode by another program</source>
        <translation>tenuto in modo esclusivo da un altro programma</translation>
    </message>
    <message>
        <source>No serial devices found.</source>
        <translation>Nessun dispositivo seriale trovato.</translation>
    </message>
    <message>
        <source>not USB</source>
        <translation>non USB</translation>
    </message>
    <message>
        <source> (not present)</source>
        <translation> (non presente)</translation>
    </message>
    <message>
        <source>Note: %1 are ports of one USB device (%2). Usually only one of them carries AT commands and rings; try each with &apos;tornasquillo --check-phone --com1 PATH&apos;.</source>
        <translation>Nota: %1 sono porte di uno stesso dispositivo USB (%2). Di solito solo una di esse accetta i comandi AT e riporta gli squilli; provarle una per una con &apos;tornasquillo --check-phone --com1 PERCORSO&apos;.</translation>
    </message>
    <message>
        <source>Note: to use a serial device you usually need to be in the group that owns it (usually &apos;dialout&apos;: sudo adduser $USER dialout, then log in again).</source>
        <translation>Nota: per usare un dispositivo seriale di solito bisogna appartenere al gruppo a cui appartiene (di solito &apos;dialout&apos;: sudo adduser $USER dialout, poi rientrare nella sessione).</translation>
    </message>
    <message>
        <source>, managed by ModemManager as modem %1 (&apos;sudo mmcli -m %1 --inhibit&apos; lets go of it)</source>
        <translation>, gestito da ModemManager come modem %1 (&apos;sudo mmcli -m %1 --inhibit&apos; lo lascia libero)</translation>
    </message>
</context>
<context>
    <name>QtSerialLine</name>
    <message>
        <source>the device was removed or stopped working</source>
        <translation>il dispositivo è stato scollegato o ha smesso di funzionare</translation>
    </message>
    <message>
        <source>reading from the device failed</source>
        <translation>lettura dal dispositivo non riuscita</translation>
    </message>
    <message>
        <source>writing to the device failed</source>
        <translation>scrittura sul dispositivo non riuscita</translation>
    </message>
    <message>
        <source>the device is busy (held by another program)</source>
        <translation>il dispositivo è occupato (lo tiene un altro programma)</translation>
    </message>
    <message>
        <source>permission denied; add your user to the group that owns %1 (usually &apos;dialout&apos;: sudo adduser $USER dialout, then log in again)</source>
        <translation>permesso negato; aggiungere il proprio utente al gruppo a cui appartiene %1 (di solito &apos;dialout&apos;: sudo adduser $USER dialout, poi rientrare nella sessione)</translation>
    </message>
    <message>
        <source>no such device</source>
        <translation>dispositivo inesistente</translation>
    </message>
    <message>
        <source>cannot open COM %1 ( %2 ): %3</source>
        <translation>impossibile aprire COM %1 ( %2 ): %3</translation>
    </message>
    <message>
        <source>opened COM %1 ( %2 )</source>
        <translation>aperta COM %1 ( %2 )</translation>
    </message>
    <message>
        <source>COM %1 is open, but ModemManager uses the same device and its commands will mix with ours.</source>
        <translation>COM %1 è aperta, ma ModemManager usa lo stesso dispositivo e i suoi comandi si mescoleranno ai nostri.</translation>
    </message>
    <message>
        <source>the line to %1 failed: %2 - port closed</source>
        <translation>la linea verso %1 si è interrotta: %2 - porta chiusa</translation>
    </message>
</context>
</TS>
