<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="it_IT" sourcelanguage="en">
<context>
    <name>Autostart</name>
    <message>
        <source>Start at login with the other options given: write an autostart entry to ~/.config/autostart/, and exit.</source>
        <translation>Avvio automatico all&apos;accesso con le altre opzioni indicate: scrive una voce di avvio automatico in ~/.config/autostart/ ed esce.</translation>
    </message>
    <message>
        <source>Remove the autostart entry, and exit.</source>
        <translation>Rimuove la voce di avvio automatico ed esce.</translation>
    </message>
    <message>
        <source>--no-autostart takes no other option</source>
        <translation>--no-autostart non accetta altre opzioni</translation>
    </message>
    <message>
        <source>No autostart entry to remove: %1 does not exist.</source>
        <translation>Nessuna voce di avvio automatico da rimuovere: %1 non esiste.</translation>
    </message>
    <message>
        <source>cannot remove %1: %2</source>
        <translation>impossibile rimuovere %1: %2</translation>
    </message>
    <message>
        <source>Removed %1: Tornasquillo no longer starts at login.</source>
        <translation>Rimosso %1: Tornasquillo non si avvia più all&apos;accesso.</translation>
    </message>
    <message>
        <source>cannot write %1: %2</source>
        <translation>impossibile scrivere %1: %2</translation>
    </message>
    <message>
        <source>Wrote %1: Tornasquillo starts at login as %2</source>
        <translation>Scritto %1: Tornasquillo si avvia all&apos;accesso con %2</translation>
    </message>
    <message>
        <source>Watches the GSM phone from login, as tornasquillo --autostart was told</source>
        <translation>Sorveglia il telefono GSM dall&apos;accesso, come indicato a tornasquillo --autostart</translation>
    </message>
</context>
<context>
    <name>CallBackHistory</name>
    <message>
        <source>the record of earlier call-backs in %1 cannot be read%2: the cool-down and the hour&apos;s limit start from no call-back</source>
        <translation>impossibile leggere il registro delle richiamate precedenti in %1%2: la pausa tra le richiamate e il limite orario ripartono da nessuna richiamata</translation>
    </message>
    <message>
        <source>cannot keep the record of call-backs in %1 (%2): after a restart the cool-down and the hour&apos;s limit start afresh</source>
        <translation>impossibile conservare il registro delle richiamate in %1 (%2): dopo un riavvio la pausa tra le richiamate e il limite orario ripartono da zero</translation>
    </message>
</context>
<context>
    <name>CallBackNumbers</name>
    <message>
        <source>short code or directory service</source>
        <translation>numero breve o servizio informazioni abbonati</translation>
    </message>
    <message>
        <source>network service number</source>
        <translation>numero di servizio della rete</translation>
    </message>
    <message>
        <source>internet access number</source>
        <translation>numero di accesso a internet</translation>
    </message>
    <message>
        <source>free, shared-cost or premium-rate number</source>
        <translation>numero verde, a costo ripartito o a tariffa maggiorata</translation>
    </message>
    <message>
        <source>foreign</source>
        <translation>estero</translation>
    </message>
    <message>
        <source>not an Italian mobile or geographic number</source>
        <translation>non è un numero italiano mobile o geografico</translation>
    </message>
    <message>
        <source>--call-back-to takes &quot;any&quot; or prefixes in international form, &quot;+&quot; and digits, separated by commas (such as +393,+390,+41), not &quot;%1&quot;</source>
        <translation>--call-back-to accetta &quot;any&quot; oppure prefissi in forma internazionale, &quot;+&quot; e cifre, separati da virgole (come +393,+390,+41), non &quot;%1&quot;</translation>
    </message>
    <message>
        <source>not in the --call-back-to list</source>
        <translation>non è nell&apos;elenco di --call-back-to</translation>
    </message>
</context>
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
    <message numerus="yes">
        <source>no call-back to %1: it was called back less than %n minute(s) ago; the cool-down holds it until %2</source>
        <translation>
            <numerusform>nessuna richiamata a %1: è già stato richiamato meno di %n minuto fa; la pausa tra le richiamate dura fino a %2</numerusform>
            <numerusform>nessuna richiamata a %1: è già stato richiamato meno di %n minuti fa; la pausa tra le richiamate dura fino a %2</numerusform>
        </translation>
    </message>
    <message>
        <source>not a number a person can be called back on (only digits and a leading + are); it is never dialled</source>
        <translation>non è un numero su cui si possa richiamare una persona (lo sono solo cifre con un + iniziale); non viene mai chiamato</translation>
    </message>
    <message>
        <source>an emergency number; it is never called back</source>
        <translation>è un numero di emergenza; non viene mai richiamato</translation>
    </message>
    <message>
        <source>not a number the responder calls back (%1); --call-back-to adds it</source>
        <translation>non è un numero che il risponditore richiama (%1); --call-back-to lo aggiunge</translation>
    </message>
    <message numerus="yes">
        <source>%n call-back(s) in the last hour already, as many as --call-back-limit allows; the next may go out at %1</source>
        <translation>
            <numerusform>già %n richiamata nell&apos;ultima ora, quante ne consente --call-back-limit; la prossima può partire alle %1</numerusform>
            <numerusform>già %n richiamate nell&apos;ultima ora, quante ne consente --call-back-limit; la prossima può partire alle %1</numerusform>
        </translation>
    </message>
    <message>
        <source>no call-back to %1: %2</source>
        <translation>nessuna richiamata a %1: %2</translation>
    </message>
    <message>
        <source>call-back to %1 answered after %2 s and hung up</source>
        <translation>richiamata a %1 con risposta dopo %2 s: riagganciata</translation>
    </message>
    <message>
        <source>call-back to %1 ended by the phone&apos;s %2 after %3 s and hung up</source>
        <translation>richiamata a %1 chiusa dal %2 del telefono dopo %3 s: riagganciata</translation>
    </message>
    <message>
        <source>call-back to %1 gone from the phone&apos;s calls after %2 s and hung up</source>
        <translation>richiamata a %1 sparita dalle chiamate del telefono dopo %2 s: riagganciata</translation>
    </message>
    <message>
        <source>the caller withheld the number, or the network did not give it: logged as &quot;%1&quot;, and nobody is called back</source>
        <translation>il chiamante ha nascosto il numero, o la rete non lo ha fornito: registrato come &quot;%1&quot;, e non si richiama nessuno</translation>
    </message>
    <message>
        <source>longer than the 15 digits of any phone number; it is never dialled</source>
        <translation>è più lungo delle 15 cifre di qualsiasi numero di telefono; non viene mai chiamato</translation>
    </message>
    <message>
        <source>AT+CLCC unanswered within %1 s: the phone is asked for its calls again at the next call-back</source>
        <translation>AT+CLCC senza risposta entro %1 s: alla prossima richiamata si chiedono di nuovo le chiamate al telefono</translation>
    </message>
    <message>
        <source>the phone does not list its calls (AT+CLCC answered &quot;%1&quot; at two call-backs): a call-back that is answered stands until it is hung up as set; AT+CLCC is not asked again until the port opens again</source>
        <translation>il telefono non elenca le sue chiamate (AT+CLCC ha risposto &quot;%1&quot; a due richiamate): una richiamata con risposta resta in linea fino al riaggancio impostato; AT+CLCC non viene più chiesto finché la porta non viene riaperta</translation>
    </message>
    <message>
        <source>a call rang in while the call-back to %1 stood, and the phone cannot release one call alone (AT+CHLD=1x): the hang-up (ATH) cut it too</source>
        <translation>è arrivata una chiamata mentre la richiamata a %1 era in linea, e il telefono non sa chiudere una sola chiamata (AT+CHLD=1x): il riaggancio (ATH) ha chiuso anche quella</translation>
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
    <message>
        <source>Also show each call as a desktop notification.</source>
        <translation>Mostra anche ogni chiamata come notifica sul desktop.</translation>
    </message>
    <message>
        <source>MINUTES</source>
        <translation>MINUTI</translation>
    </message>
    <message>
        <source>--cool-down takes whole minutes from 0 to %1, not &quot;%2&quot;</source>
        <translation>--cool-down accetta un numero intero di minuti da 0 a %1, non &quot;%2&quot;</translation>
    </message>
    <message>
        <source>--autostart takes the options of the window only (see --help)</source>
        <translation>--autostart accetta solo le opzioni della finestra (vedere --help)</translation>
    </message>
    <message>
        <source>Call back only numbers that begin with one of PREFIXES, in international form and separated by commas (+393,+390,+41; a whole number is a prefix too), or every number with &quot;any&quot;. Default: ordinary Italian numbers, mobile and geographic. Service codes and emergency numbers are never called back.</source>
        <translation>Richiama solo i numeri che iniziano con uno dei PREFISSI, in forma internazionale e separati da virgole (+393,+390,+41; anche un numero intero è un prefisso), oppure ogni numero con &quot;any&quot;. Predefinito: i normali numeri italiani, mobili e geografici. I codici di servizio e i numeri di emergenza non vengono mai richiamati.</translation>
    </message>
    <message>
        <source>PREFIXES</source>
        <translation>PREFISSI</translation>
    </message>
    <message>
        <source>Call back at most N times in any 60 minutes (1 to %1; default: no limit).</source>
        <translation>Richiama al massimo N volte in 60 minuti qualsiasi (da 1 a %1; predefinito: nessun limite).</translation>
    </message>
    <message>
        <source>N</source>
        <translation>N</translation>
    </message>
    <message>
        <source>--call-back-limit takes a whole number of call-backs from 1 to %1, not &quot;%2&quot;</source>
        <translation>--call-back-limit accetta un numero intero di richiamate da 1 a %1, non &quot;%2&quot;</translation>
    </message>
    <message>
        <source>cannot start the run without a window, %1: %2</source>
        <translation>impossibile avviare il funzionamento senza finestra, %1: %2</translation>
    </message>
    <message>
        <source>no display to show the window on (DISPLAY and WAYLAND_DISPLAY are not set); to watch the phone without a window, run tornasquillo --headless (see --help)</source>
        <translation>nessun display su cui mostrare la finestra (DISPLAY e WAYLAND_DISPLAY non sono impostate); per sorvegliare il telefono senza finestra, eseguire tornasquillo --headless (vedere --help)</translation>
    </message>
    <message>
        <source>The SIM&apos;s PIN (4 to 8 digits on one line) is in FILE, which only its owner may read. It is entered when the SIM asks for it (after a power cut, say), only while the SIM has at least 2 tries left, and a PIN the SIM refused is never entered again until FILE changes.</source>
        <translation>Il PIN della SIM (da 4 a 8 cifre su una riga) è in FILE, che solo il suo proprietario può leggere. Viene inserito quando la SIM lo chiede (dopo un&apos;interruzione di corrente, per esempio), solo finché la SIM ha almeno 2 tentativi, e un PIN rifiutato dalla SIM non viene più inserito finché FILE non cambia.</translation>
    </message>
    <message>
        <source>Do not call back a number that was called back less than MINUTES ago (0 to %1; default %2). A caller&apos;s number can be forged: the cool-down keeps a stranger from being called back over and over on your SIM. 0: every squillo is called back.</source>
        <translation>Non richiama un numero già richiamato meno di MINUTI fa (da 0 a %1; predefinito %2). Il numero di un chiamante si può falsificare: la pausa tra le richiamate evita che un estraneo venga richiamato più e più volte a spese della propria SIM. 0: ogni squillo viene richiamato.</translation>
    </message>
    <message>
        <source>Run without a window, and with no display: open the port at once (COM 1 unless --open says 2, a device that is not there yet is waited for) and watch the phone as the window does, with the start options, --log, --cool-down, --call-back-to, --call-back-limit, --pin-file and (on a desktop) --notify. What the window would show goes to standard error. SIGTERM, SIGINT and SIGHUP end it as ESCI does, SIGHUP with exit status 129 so that the service is started again. For a machine without a desktop, and for tornasquillo.service.</source>
        <translation>Funziona senza finestra e senza display: apre subito la porta (COM 1, salvo --open 2; un dispositivo non ancora presente viene atteso) e sorveglia il telefono come fa la finestra, con le opzioni di avvio, --log, --cool-down, --call-back-to, --call-back-limit, --pin-file e (su un desktop) --notify. Quello che la finestra mostrerebbe va sullo standard error. SIGTERM, SIGINT e SIGHUP lo terminano come fa ESCI, SIGHUP con codice di uscita 129 perché il servizio venga riavviato. Per una macchina senza desktop e per tornasquillo.service.</translation>
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
    <name>DesktopNotifier</name>
    <message>
        <source>no session bus</source>
        <translation>nessun bus di sessione</translation>
    </message>
    <message>
        <source>an unknown caller</source>
        <translation>un chiamante sconosciuto</translation>
    </message>
    <message>
        <source>Squillo from %1</source>
        <translation>Squillo da %1</translation>
    </message>
    <message>
        <source>Call from %1</source>
        <translation>Chiamata da %1</translation>
    </message>
    <message>
        <source>Number not known; not called back</source>
        <translation>Numero sconosciuto; non richiamato</translation>
    </message>
    <message>
        <source>%1, called back</source>
        <translation>%1, richiamato</translation>
    </message>
    <message>
        <source>%1, not called back</source>
        <translation>%1, non richiamato</translation>
    </message>
    <message>
        <source>no desktop notifications: %1; the calls are still listed in the window and the journal</source>
        <translation>nessuna notifica sul desktop: %1; le chiamate restano elencate nella finestra e nel giornale di sistema</translation>
    </message>
    <message>
        <source>The phone</source>
        <translation>Il telefono</translation>
    </message>
    <message>
        <source>a withheld number</source>
        <translation>un numero nascosto</translation>
    </message>
    <message>
        <source>Number withheld; not called back</source>
        <translation>Numero nascosto; non richiamato</translation>
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
    <name>HeadlessRun</name>
    <message>
        <source>the phone did not answer within %1 s of the quit signal; the program ends without its answer</source>
        <translation>il telefono non ha risposto entro %1 s dal segnale di uscita; il programma termina senza la sua risposta</translation>
    </message>
    <message numerus="yes">
        <source>no window: COM %1 is opened and watched, and the responder is on (call-back %2 s after a squillo, hung up after %3 s; a squillo rings at most %n time(s)); SIGTERM ends the program as ESCI does</source>
        <translation>
            <numerusform>senza finestra: COM %1 viene aperta e sorvegliata, il risponditore è attivo (richiamata %2 s dopo uno squillo, riagganciata dopo %3 s; uno squillo suona al massimo %n volta); SIGTERM termina il programma come fa ESCI</numerusform>
            <numerusform>senza finestra: COM %1 viene aperta e sorvegliata, il risponditore è attivo (richiamata %2 s dopo uno squillo, riagganciata dopo %3 s; uno squillo suona al massimo %n volte); SIGTERM termina il programma come fa ESCI</numerusform>
        </translation>
    </message>
    <message>
        <source>no window: COM %1 is opened and watched, and the responder is off: no squillo is called back; SIGTERM ends the program as ESCI does</source>
        <translation>senza finestra: COM %1 viene aperta e sorvegliata, il risponditore non è attivo: nessuno squillo viene richiamato; SIGTERM termina il programma come fa ESCI</translation>
    </message>
    <message>
        <source>%1: a call-back stood on the line; its hang-up answered %2</source>
        <translation>%1: una richiamata era in linea; al comando di riaggancio il telefono ha risposto %2</translation>
    </message>
    <message>
        <source>%1: the phone&apos;s reset answered %2</source>
        <translation>%1: il ripristino del telefono ha risposto %2</translation>
    </message>
</context>
<context>
    <name>JournalView</name>
    <message>
        <source>panel %1: %2</source>
        <translation>pannello %1: %2</translation>
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
    <name>PhoneCheck</name>
    <message>
        <source>phone failure</source>
        <translation>guasto del telefono</translation>
    </message>
    <message>
        <source>operation not allowed</source>
        <translation>operazione non consentita</translation>
    </message>
    <message>
        <source>operation not supported</source>
        <translation>operazione non supportata</translation>
    </message>
    <message>
        <source>SIM not inserted</source>
        <translation>SIM non inserita</translation>
    </message>
    <message>
        <source>SIM PIN required</source>
        <translation>richiesto il PIN della SIM</translation>
    </message>
    <message>
        <source>SIM PUK required</source>
        <translation>richiesto il PUK della SIM</translation>
    </message>
    <message>
        <source>SIM failure</source>
        <translation>guasto della SIM</translation>
    </message>
    <message>
        <source>SIM busy</source>
        <translation>SIM occupata</translation>
    </message>
    <message>
        <source>SIM wrong</source>
        <translation>SIM errata</translation>
    </message>
    <message>
        <source>incorrect password</source>
        <translation>password errata</translation>
    </message>
    <message>
        <source>memory full</source>
        <translation>memoria piena</translation>
    </message>
    <message>
        <source>invalid index</source>
        <translation>indice non valido</translation>
    </message>
    <message>
        <source>not found</source>
        <translation>non trovato</translation>
    </message>
    <message>
        <source>no network service</source>
        <translation>nessun servizio di rete</translation>
    </message>
    <message>
        <source>network timeout</source>
        <translation>timeout di rete</translation>
    </message>
    <message>
        <source>unknown</source>
        <translation>sconosciuto</translation>
    </message>
    <message>
        <source>&quot;%1&quot; (%2)</source>
        <comment>an error code, then its meaning</comment>
        <translation>&quot;%1&quot; (%2)</translation>
    </message>
    <message>
        <source>nothing</source>
        <comment>what the phone answered</comment>
        <translation>nessuna</translation>
    </message>
    <message>
        <source>nothing (the line closed)</source>
        <translation>nessuna (la linea si è chiusa)</translation>
    </message>
    <message>
        <source>nothing (out of time)</source>
        <translation>nessuna (tempo scaduto)</translation>
    </message>
    <message>
        <source>maker &quot;%1&quot;, model &quot;%2&quot;.</source>
        <translation>produttore &quot;%1&quot;, modello &quot;%2&quot;.</translation>
    </message>
    <message>
        <source>the phone does not give its model (AT+CGMM answered %1): Tornasquillo shows &quot;CONNESSO A &quot; and what it answers.</source>
        <translation>il telefono non indica il proprio modello (risposta ad AT+CGMM: %1): Tornasquillo mostra &quot;CONNESSO A &quot; seguito da ciò che il telefono risponde.</translation>
    </message>
    <message>
        <source>AT+CPBS=MC answered %1 and AT+CPBS=&quot;MC&quot; %2</source>
        <translation>risposta ad AT+CPBS=MC: %1, ad AT+CPBS=&quot;MC&quot;: %2</translation>
    </message>
    <message>
        <source>AT+CPBS=MC answered %1</source>
        <translation>risposta ad AT+CPBS=MC: %1</translation>
    </message>
    <message>
        <source>the phone has no missed-call list &quot;MC&quot; (AT+CPBS=? lists %1; %2)</source>
        <translation>il telefono non ha l&apos;elenco delle chiamate perse &quot;MC&quot; (AT+CPBS=? elenca %1; %2)</translation>
    </message>
    <message>
        <source>the missed-call list &quot;MC&quot; cannot be selected (%1)</source>
        <translation>non si può selezionare l&apos;elenco delle chiamate perse &quot;MC&quot; (%1)</translation>
    </message>
    <message>
        <source>the phone has a missed-call list &quot;MC&quot; (AT+CPBS=?).</source>
        <translation>il telefono ha l&apos;elenco delle chiamate perse &quot;MC&quot; (AT+CPBS=?).</translation>
    </message>
    <message>
        <source>AT+CPBS=? lists %1, without &quot;MC&quot;, but the missed-call list &quot;MC&quot; can be selected.</source>
        <translation>AT+CPBS=? elenca %1, senza &quot;MC&quot;, ma l&apos;elenco delle chiamate perse &quot;MC&quot; si può selezionare.</translation>
    </message>
    <message>
        <source>AT+CPBS=? answered %1: the phone does not say which lists it has.</source>
        <translation>il telefono non dice quali elenchi ha (risposta ad AT+CPBS=?: %1).</translation>
    </message>
    <message>
        <source>AT+CPBS=MC, unquoted as Tornasquillo sends it, answers OK.</source>
        <translation>il telefono risponde OK ad AT+CPBS=MC, senza virgolette come lo invia Tornasquillo.</translation>
    </message>
    <message>
        <source>AT+CPBS=MC, unquoted, answered %1, but the quoted form AT+CPBS=&quot;MC&quot; answers OK: Tornasquillo asks again in that form.</source>
        <translation>risposta ad AT+CPBS=MC senza virgolette: %1, ma alla forma tra virgolette AT+CPBS=&quot;MC&quot; il telefono risponde OK: Tornasquillo ripete la richiesta in quella forma.</translation>
    </message>
    <message>
        <source>the missed-call list is empty (AT+CPBR=1); after a missed call it must give the caller&apos;s number in quotes.</source>
        <translation>l&apos;elenco delle chiamate perse è vuoto (AT+CPBR=1); dopo una chiamata persa deve fornire il numero del chiamante tra virgolette.</translation>
    </message>
    <message>
        <source>AT+CPBR=1 answered %1: entry 1 of the missed-call list cannot be read. Some phones answer so while the list is empty: let the phone ring once, then check again.</source>
        <translation>la voce 1 dell&apos;elenco delle chiamate perse non si può leggere (risposta ad AT+CPBR=1: %1). Alcuni telefoni rispondono così quando l&apos;elenco è vuoto: far squillare il telefono una volta, poi eseguire di nuovo la verifica.</translation>
    </message>
    <message>
        <source>entry 1 of the missed-call list is &quot;%1&quot;, an international number without its &quot;+&quot; (type 145): Tornasquillo dials it with the &quot;+&quot;.</source>
        <translation>la voce 1 dell&apos;elenco delle chiamate perse è &quot;%1&quot;, un numero internazionale senza il &quot;+&quot; (tipo 145): Tornasquillo lo chiama con il &quot;+&quot;.</translation>
    </message>
    <message>
        <source>entry 1 of the missed-call list is &quot;%1&quot;.</source>
        <translation>la voce 1 dell&apos;elenco delle chiamate perse è &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>the phone&apos;s setting is +CRC=%1 (AT+CRC?).</source>
        <translation>l&apos;impostazione del telefono è +CRC=%1 (AT+CRC?).</translation>
    </message>
    <message>
        <source>the phone has no +CRC (AT+CRC? answered &quot;ERROR&quot;).</source>
        <translation>il telefono non ha +CRC (risposta ad AT+CRC?: &quot;ERROR&quot;).</translation>
    </message>
    <message>
        <source>AT+CRC? answered %1.</source>
        <translation>risposta ad AT+CRC?: %1.</translation>
    </message>
    <message>
        <source>Tornasquillo counts rings reported as &quot;RING&quot; and as &quot;+CRING: VOICE&quot; alike.</source>
        <translation>Tornasquillo conta allo stesso modo gli squilli segnalati come &quot;RING&quot; e come &quot;+CRING: VOICE&quot;.</translation>
    </message>
    <message>
        <source>a dial is answered at once (AT+COLP? is %1).</source>
        <translation>il comando di chiamata riceve subito la risposta (AT+COLP? restituisce %1).</translation>
    </message>
    <message>
        <source>a dial is answered only when the callee picks up (AT+COLP? is %1): Tornasquillo&apos;s call-back would be hung up then, or after %2 seconds of ringing, never after its set time.</source>
        <translation>il comando di chiamata riceve la risposta solo quando il chiamato risponde (AT+COLP? restituisce %1): Tornasquillo riaggancerebbe la richiamata solo allora, o dopo %2 secondi di squilli, mai dopo il tempo impostato.</translation>
    </message>
    <message>
        <source>dials answered at once</source>
        <translation>risposta immediata al comando di chiamata</translation>
    </message>
    <message>
        <source>the phone has no +COLP: a dial is answered at once.</source>
        <translation>il telefono non ha +COLP: il comando di chiamata riceve subito la risposta.</translation>
    </message>
    <message>
        <source>AT+COLP? answered %1: cannot tell when a dial is answered.</source>
        <translation>non si può stabilire quando il comando di chiamata riceve la risposta (risposta ad AT+COLP?: %1).</translation>
    </message>
    <message>
        <source>the phone does not answer calls itself (ATS0? is %1).</source>
        <translation>il telefono non risponde da solo alle chiamate (ATS0? restituisce %1).</translation>
    </message>
    <message>
        <source>the phone answers a call itself after %1 rings (ATS0? is %1): the caller would be connected to nobody, and the call would not be in the missed-call list.</source>
        <translation>il telefono risponde da solo a una chiamata dopo %1 squilli (ATS0? restituisce %1): il chiamante si troverebbe in linea senza nessuno dall&apos;altra parte e la chiamata non finirebbe nell&apos;elenco delle chiamate perse.</translation>
    </message>
    <message>
        <source>no auto-answer</source>
        <translation>nessuna risposta automatica</translation>
    </message>
    <message>
        <source>ATS0? answered %1: cannot tell whether the phone answers calls itself.</source>
        <translation>non si può stabilire se il telefono risponde da solo alle chiamate (risposta ad ATS0?: %1).</translation>
    </message>
    <message>
        <source>errors are reported as &quot;ERROR&quot; (AT+CMEE? is %1).</source>
        <translation>gli errori vengono segnalati come &quot;ERROR&quot; (AT+CMEE? restituisce %1).</translation>
    </message>
    <message>
        <source>errors reported as ERROR</source>
        <translation>errori segnalati come ERROR</translation>
    </message>
    <message>
        <source>the phone has no +CMEE: errors are reported as &quot;ERROR&quot;.</source>
        <translation>il telefono non ha +CMEE: gli errori vengono segnalati come &quot;ERROR&quot;.</translation>
    </message>
    <message>
        <source>AT+CMEE? answered %1: cannot tell how errors are reported.</source>
        <translation>non si può stabilire come vengono segnalati gli errori (risposta ad AT+CMEE?: %1).</translation>
    </message>
    <message>
        <source>Tornasquillo reads each caller from the missed-call list.</source>
        <translation>Tornasquillo legge ogni chiamante dall&apos;elenco delle chiamate perse.</translation>
    </message>
    <message>
        <source>the phone&apos;s setting is +CLIP=1 (AT+CLIP? is %1). Tornasquillo takes the caller&apos;s number from the +CLIP line of the rings when the missed-call list gives none or another number.</source>
        <translation>l&apos;impostazione del telefono è +CLIP=1 (AT+CLIP? restituisce %1). Tornasquillo prende il numero del chiamante dalla riga +CLIP degli squilli quando l&apos;elenco delle chiamate perse non ne fornisce nessuno o ne fornisce un altro.</translation>
    </message>
    <message>
        <source>AT+CLIP? is %1</source>
        <translation>AT+CLIP? restituisce %1</translation>
    </message>
    <message>
        <source>the phone&apos;s setting is +CLIP=1, but the network does not provide caller ID (AT+CLIP? is %1).</source>
        <translation>l&apos;impostazione del telefono è +CLIP=1, ma la rete non fornisce l&apos;identificativo del chiamante (AT+CLIP? restituisce %1).</translation>
    </message>
    <message>
        <source>the phone&apos;s setting is +CLIP=%1 (AT+CLIP? is %2).</source>
        <translation>l&apos;impostazione del telefono è +CLIP=%1 (AT+CLIP? restituisce %2).</translation>
    </message>
    <message>
        <source>AT+CLIP? answered %1</source>
        <translation>risposta ad AT+CLIP?: %1</translation>
    </message>
    <message>
        <source>AT+CLIP? answered %1.</source>
        <translation>risposta ad AT+CLIP?: %1.</translation>
    </message>
    <message>
        <source>the caller&apos;s number with the rings</source>
        <translation>il numero del chiamante insieme agli squilli</translation>
    </message>
    <message>
        <source>No setting adds the list; use another phone.</source>
        <translation>Nessuna impostazione aggiunge l&apos;elenco: usare un altro telefono.</translation>
    </message>
    <message>
        <source>ATH does not end a voice call (AT+CVHU? is 1): Tornasquillo&apos;s call-back would never be hung up.</source>
        <translation>ATH non chiude una chiamata vocale (AT+CVHU? restituisce 1): Tornasquillo non riaggancerebbe mai la richiamata.</translation>
    </message>
    <message>
        <source>ATH ends a voice call</source>
        <translation>ATH chiude le chiamate vocali</translation>
    </message>
    <message>
        <source>ATH ends a voice call (AT+CVHU? is %1).</source>
        <translation>ATH chiude una chiamata vocale (AT+CVHU? restituisce %1).</translation>
    </message>
    <message>
        <source>the phone has no +CVHU (AT+CVHU? answered %1): ATH ends a voice call.</source>
        <translation>il telefono non ha +CVHU (risposta ad AT+CVHU?: %1): ATH chiude una chiamata vocale.</translation>
    </message>
    <message>
        <source>no answer to AT+CVHU?: cannot tell whether ATH ends a voice call.</source>
        <translation>nessuna risposta ad AT+CVHU?: non si può stabilire se ATH chiude una chiamata vocale.</translation>
    </message>
    <message>
        <source>AT+CREG? answered %1: cannot tell whether the phone is registered on a network.</source>
        <translation>non si può stabilire se il telefono è registrato su una rete (risposta ad AT+CREG?: %1).</translation>
    </message>
    <message>
        <source>registered on its home network (AT+CREG? stat %1).</source>
        <translation>registrato sulla propria rete di appartenenza (AT+CREG? stat %1).</translation>
    </message>
    <message>
        <source>registered on a network, roaming (AT+CREG? stat %1).</source>
        <translation>registrato su una rete, in roaming (AT+CREG? stat %1).</translation>
    </message>
    <message>
        <source>radio on</source>
        <translation>radio accesa</translation>
    </message>
    <message>
        <source>AT+CSCS? answered %1: cannot tell how names are coded.</source>
        <translation>non si può stabilire come sono codificati i nomi (risposta ad AT+CSCS?: %1).</translation>
    </message>
    <message>
        <source>character set &quot;%1&quot; (AT+CSCS?).</source>
        <translation>set di caratteri &quot;%1&quot; (AT+CSCS?).</translation>
    </message>
    <message>
        <source>character set &quot;%1&quot; (AT+CSCS?): names, and on some phones numbers, come hex-coded; the event list would show them so, and a hex-coded number cannot be dialled.</source>
        <translation>set di caratteri &quot;%1&quot; (AT+CSCS?): i nomi, e su alcuni telefoni anche i numeri, arrivano codificati in esadecimale; l&apos;elenco degli eventi li mostrerebbe così e un numero in esadecimale non si può chiamare.</translation>
    </message>
    <message>
        <source>plain text names</source>
        <translation>nomi in testo semplice</translation>
    </message>
    <message>
        <source>character set &quot;%1&quot; (AT+CSCS?): names with accents may show wrong characters in the event list.</source>
        <translation>set di caratteri &quot;%1&quot; (AT+CSCS?): nell&apos;elenco degli eventi i nomi con lettere accentate possono comparire con caratteri sbagliati.</translation>
    </message>
    <message>
        <source>no serial device found. Connect the phone (its cable or USB adapter), or name its device with --com1 PATH.</source>
        <translation>nessun dispositivo seriale trovato. Collegare il telefono (il suo cavo o l&apos;adattatore USB), oppure indicarne il dispositivo con --com1 PATH.</translation>
    </message>
    <message>
        <source>Looking for a phone on: %1</source>
        <translation>Ricerca del telefono su: %1</translation>
    </message>
    <message>
        <source>%1: not tried (out of time)</source>
        <translation>%1: non provato (tempo scaduto)</translation>
    </message>
    <message>
        <source>%1: cannot open: %2</source>
        <translation>%1: impossibile aprire: %2</translation>
    </message>
    <message>
        <source>%1: answers &quot;AT&quot;</source>
        <translation>%1: risponde ad &quot;AT&quot;</translation>
    </message>
    <message>
        <source>%1: answers &quot;AT&quot; with %2 (a warning at most; the check tells)</source>
        <translation>%1: risponde ad &quot;AT&quot; con %2 (al massimo un avviso; lo dirà la verifica)</translation>
    </message>
    <message>
        <source>%1: no answer to &quot;AT&quot;</source>
        <translation>%1: nessuna risposta ad &quot;AT&quot;</translation>
    </message>
    <message>
        <source>no device answers &quot;AT&quot;: the phone is off, not connected, or on a port that cannot be opened.</source>
        <translation>nessun dispositivo risponde ad &quot;AT&quot;: il telefono è spento, non è collegato o è su una porta che non si può aprire.</translation>
    </message>
    <message>
        <source>Devices that answer: %1; checking the first.</source>
        <translation>Dispositivi che rispondono: %1; si verifica il primo.</translation>
    </message>
    <message>
        <source>ok</source>
        <translation>ok</translation>
    </message>
    <message>
        <source>warning</source>
        <translation>avviso</translation>
    </message>
    <message>
        <source>problem</source>
        <translation>problema</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <comment>a line of the report: its level (ok, warning, problem), then what was found</comment>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>%1 %2</source>
        <comment>two sentences of one line of the report</comment>
        <translation>%1 %2</translation>
    </message>
    <message>
        <source>Fix: AT%1, then AT&amp;W.</source>
        <translation>Correzione: AT%1, poi AT&amp;W.</translation>
    </message>
    <message>
        <source>Fix: AT%1.</source>
        <translation>Correzione: AT%1.</translation>
    </message>
    <message>
        <source>the phone answers &quot;AT&quot;.</source>
        <translation>il telefono risponde ad &quot;AT&quot;.</translation>
    </message>
    <message>
        <source>the phone answers once its result codes are switched on (ATQ0); they were off.</source>
        <translation>il telefono risponde dopo l&apos;attivazione dei codici di risultato (ATQ0), che erano disattivati.</translation>
    </message>
    <message>
        <source>the phone answers a bare &quot;AT&quot; with %1. Tornasquillo never sends it; what counts is how the phone answers the commands it does send, below.</source>
        <translation>il telefono risponde a un semplice &quot;AT&quot; con %1. Tornasquillo non lo invia mai; conta come il telefono risponde ai comandi che invia davvero, qui sotto.</translation>
    </message>
    <message>
        <source>no answer to &quot;AT&quot; within %1 seconds: a wrong port, a wrong speed (Tornasquillo talks at 19200 baud, 8 data bits, no parity, 1 stop bit), a device that is not a phone, or a phone that is off.</source>
        <translation>nessuna risposta ad &quot;AT&quot; entro %1 secondi: porta sbagliata, velocità sbagliata (Tornasquillo comunica a 19200 baud, 8 bit di dati, nessuna parità, 1 bit di stop), un dispositivo che non è un telefono oppure un telefono spento.</translation>
    </message>
    <message>
        <source>Tornasquillo cannot use %1.</source>
        <translation>Tornasquillo non può usare %1.</translation>
    </message>
    <message>
        <source>Checking again after ATZ:</source>
        <translation>Nuova verifica dopo ATZ:</translation>
    </message>
    <message>
        <source>No setting mends the problems above.</source>
        <translation>Nessuna impostazione risolve i problemi indicati sopra.</translation>
    </message>
    <message>
        <source>Nothing to fix.</source>
        <translation>Niente da correggere.</translation>
    </message>
    <message>
        <source>Summary: %1 problems, %2 warnings.</source>
        <translation>Riepilogo: %1 problemi, %2 avvisi.</translation>
    </message>
    <message>
        <source>Summary: %1 problems, %2 warning.</source>
        <translation>Riepilogo: %1 problemi, %2 avviso.</translation>
    </message>
    <message>
        <source>Summary: %1 problem, %2 warnings.</source>
        <translation>Riepilogo: %1 problema, %2 avvisi.</translation>
    </message>
    <message>
        <source>Summary: %1 problem, %2 warning.</source>
        <translation>Riepilogo: %1 problema, %2 avviso.</translation>
    </message>
    <message>
        <source>To send the fixes above and store them: tornasquillo --check-phone --fix --com1 %1</source>
        <translation>Per inviare le correzioni indicate sopra e memorizzarle: tornasquillo --check-phone --fix --com1 %1</translation>
    </message>
    <message>
        <source>Use: tornasquillo --com1 %1</source>
        <translation>Avviare con: tornasquillo --com1 %1</translation>
    </message>
    <message>
        <source>With the problems above mended, use: tornasquillo --com1 %1</source>
        <translation>Risolti i problemi indicati sopra, avviare con: tornasquillo --com1 %1</translation>
    </message>
    <message>
        <source>After ATZ, as Tornasquillo finds the phone at every open:</source>
        <translation>Dopo ATZ, come Tornasquillo trova il telefono a ogni apertura:</translation>
    </message>
    <message>
        <source>the phone stops answering after ATZ (ATZ answered %1, ATE0Q0V1 %2): Tornasquillo could not talk to it.</source>
        <translation>dopo ATZ il telefono non risponde più (risposta ad ATZ: %1, ad ATE0Q0V1: %2): Tornasquillo non riuscirebbe a comunicare con il telefono.</translation>
    </message>
    <message>
        <source>result codes on</source>
        <translation>codici di risultato attivi</translation>
    </message>
    <message>
        <source>result codes in words</source>
        <translation>codici di risultato in parole</translation>
    </message>
    <message>
        <source>result codes are on and in words (Q0, V1).</source>
        <translation>i codici di risultato sono attivi e in parole (Q0, V1).</translation>
    </message>
    <message>
        <source>Fixing: sending %1, then AT&amp;W to store the settings in force (echo off, E0, included).</source>
        <translation>Correzione: invio di %1, poi AT&amp;W per memorizzare le impostazioni in vigore (compresa l&apos;eco disattivata, E0).</translation>
    </message>
    <message>
        <source>AT%1 answered OK.</source>
        <translation>AT%1 ha risposto OK.</translation>
    </message>
    <message>
        <source>AT%1 answered %2.</source>
        <translation>risposta ad AT%1: %2.</translation>
    </message>
    <message>
        <source>AT&amp;W stored the settings.</source>
        <translation>AT&amp;W ha memorizzato le impostazioni.</translation>
    </message>
    <message>
        <source>AT&amp;W answered %1: the phone did not store the settings, and its ATZ brings the old ones back.</source>
        <translation>il telefono non ha memorizzato le impostazioni e con il suo ATZ tornano quelle vecchie (risposta ad AT&amp;W: %1).</translation>
    </message>
    <message>
        <source>the check ran out of its %1 seconds before it was done: the phone answers too slowly.</source>
        <translation>la verifica ha esaurito i suoi %1 secondi prima di finire: il telefono risponde troppo lentamente.</translation>
    </message>
    <message>
        <source>the line closed during the check: the device was removed or stopped working.</source>
        <translation>la linea si è chiusa durante la verifica: il dispositivo è stato scollegato o ha smesso di funzionare.</translation>
    </message>
    <message>
        <source>cannot open %1: %2</source>
        <translation>impossibile aprire %1: %2</translation>
    </message>
    <message>
        <source>Checking the phone on %1</source>
        <translation>Verifica del telefono su %1</translation>
    </message>
    <message>
        <source>the phone lists its calls (AT+CLCC answered OK): a call-back that is answered or rejected is hung up at once.</source>
        <translation>il telefono elenca le sue chiamate (AT+CLCC ha risposto OK): una richiamata con risposta o rifiutata viene riagganciata subito.</translation>
    </message>
    <message>
        <source>the phone does not list its calls (AT+CLCC answered %1): a call-back that is answered stays connected, and is paid for, until it is hung up after its set time.</source>
        <translation>il telefono non elenca le sue chiamate (AT+CLCC ha risposto %1): una richiamata con risposta resta collegata, e si paga, finché non viene riagganciata allo scadere del tempo impostato.</translation>
    </message>
    <message>
        <source>entry 1 of the missed-call list has no number in quotes (%1): every caller would be logged as &quot;%2&quot;.</source>
        <translation>la voce 1 dell&apos;elenco delle chiamate perse non contiene un numero tra virgolette (%1): ogni chiamante verrebbe registrato come &quot;%2&quot;.</translation>
    </message>
    <message>
        <source>%1: the caller comes from caller ID only. Tornasquillo takes the caller&apos;s number from the +CLIP line of the rings; a call whose number is withheld is logged as &quot;%2&quot; and not called back.</source>
        <translation>%1: il chiamante si ricava solo dall&apos;identificativo del chiamante. Tornasquillo prende il numero del chiamante dalla riga +CLIP degli squilli; una chiamata con numero nascosto viene registrata come &quot;%2&quot; e non viene richiamata.</translation>
    </message>
    <message>
        <source>%1, and caller ID is not on (%2): every call would be logged as &quot;%3&quot; and no squillo called back.</source>
        <translation>%1 e l&apos;identificativo del chiamante non è attivo (%2): ogni chiamata verrebbe registrata come &quot;%3&quot; e nessuno squillo verrebbe richiamato.</translation>
    </message>
    <message>
        <source>the SIM is ready (AT+CPIN? answered %1).</source>
        <translation>la SIM è pronta (AT+CPIN? ha risposto %1).</translation>
    </message>
    <message>
        <source>%1 (AT+CPIN? answered %2): no call reaches the phone.</source>
        <translation>%1 (AT+CPIN? ha risposto %2): nessuna chiamata raggiunge il telefono.</translation>
    </message>
    <message>
        <source>AT+CPIN? answered %1: cannot tell whether the SIM is ready.</source>
        <translation>AT+CPIN? ha risposto %1: impossibile dire se la SIM è pronta.</translation>
    </message>
    <message>
        <source>%1 (AT+CFUN? is %2): no call reaches the phone.</source>
        <translation>%1 (AT+CFUN? è %2): nessuna chiamata raggiunge il telefono.</translation>
    </message>
    <message>
        <source>%1: no call reaches the phone until it registers. Check the SIM, its PIN and the signal; AT+COPS=0 lets the phone choose a network.</source>
        <translation>%1: nessuna chiamata raggiunge il telefono finché non si registra. Controllare la SIM, il suo PIN e il segnale; AT+COPS=0 lascia scegliere la rete al telefono.</translation>
    </message>
    <message>
        <source>the phone tells of no text messages on the port (AT+CNMI? answered %1).</source>
        <translation>il telefono non segnala messaggi sulla porta (AT+CNMI? ha risposto %1).</translation>
    </message>
    <message>
        <source>text messages are stored, not delivered to the port (AT+CNMI? mt %1).</source>
        <translation>i messaggi vengono memorizzati, non consegnati sulla porta (AT+CNMI? mt %1).</translation>
    </message>
    <message>
        <source>text messages are delivered to the port and not stored (AT+CNMI? mt %1): Tornasquillo skips each one, but one of several lines may pass for the phone&apos;s reports; it sets them to be stored with a notice at every start.</source>
        <translation>i messaggi vengono consegnati sulla porta e non memorizzati (AT+CNMI? mt %1): Tornasquillo li salta uno per uno, ma uno di più righe potrebbe sembrare una segnalazione del telefono; a ogni avvio li imposta perché vengano memorizzati con un avviso.</translation>
    </message>
    <message>
        <source>messages stored, with a notice</source>
        <translation>messaggi memorizzati, con un avviso</translation>
    </message>
    <message>
        <source>after ATZ the phone sends no result codes (Q1 is stored): Tornasquillo&apos;s start-up commands ATZ and ATE0 then each wait %1 seconds for an answer that never comes, at every open (the up to %2 re-sends go out back to back at the end of that wait).</source>
        <translation>dopo ATZ il telefono non invia codici di risultato (è memorizzato Q1): i comandi di avvio di Tornasquillo ATZ e ATE0 attendono allora ciascuno %1 secondi una risposta che non arriva, a ogni apertura (i fino a %2 nuovi invii partono uno dopo l&apos;altro alla fine di quell&apos;attesa).</translation>
    </message>
    <message>
        <source>after ATZ the phone sends its result codes as numbers (V0 is stored): Tornasquillo&apos;s start-up commands ATZ, ATE0 and ATQ0 then each wait %1 seconds for an answer in words, at every open (the up to %2 re-sends go out back to back at the end of that wait).</source>
        <translation>dopo ATZ il telefono invia i codici di risultato come numeri (è memorizzato V0): i comandi di avvio di Tornasquillo ATZ, ATE0 e ATQ0 attendono allora ciascuno %1 secondi una risposta in parole, a ogni apertura (i fino a %2 nuovi invii partono uno dopo l&apos;altro alla fine di quell&apos;attesa).</translation>
    </message>
    <message>
        <source>errors are reported as &quot;+CME ERROR: ...&quot; (AT+CMEE? is %1), which Tornasquillo does not take for an answer: a command that fails, such as reading an empty missed-call list, waits %2 seconds for an answer it takes (the up to %3 re-sends go out back to back at the end of that wait).</source>
        <translation>gli errori vengono segnalati come &quot;+CME ERROR: ...&quot; (AT+CMEE? restituisce %1), che Tornasquillo non considera una risposta: un comando che fallisce, come la lettura di un elenco delle chiamate perse vuoto, attende %2 secondi una risposta valida (i fino a %3 nuovi invii partono uno dopo l&apos;altro alla fine di quell&apos;attesa).</translation>
    </message>
</context>
<context>
    <name>PhoneState</name>
    <message>
        <source>the phone is ready: calls can arrive</source>
        <translation>il telefono è pronto: le chiamate possono arrivare</translation>
    </message>
    <message>
        <source>the SIM wants its PIN</source>
        <translation>la SIM chiede il suo PIN</translation>
    </message>
    <message>
        <source>the SIM is locked: it wants its PUK</source>
        <translation>la SIM è bloccata: chiede il suo PUK</translation>
    </message>
    <message>
        <source>no SIM, or the SIM failed</source>
        <translation>nessuna SIM, o la SIM è guasta</translation>
    </message>
    <message>
        <source>the phone wants a code other than the SIM&apos;s PIN (%1)</source>
        <translation>il telefono chiede un codice diverso dal PIN della SIM (%1)</translation>
    </message>
    <message>
        <source>no network (registration state %1)</source>
        <translation>nessuna rete (stato di registrazione %1)</translation>
    </message>
    <message>
        <source>the phone does not answer</source>
        <translation>il telefono non risponde</translation>
    </message>
    <message>
        <source>the phone&apos;s radio is off</source>
        <translation>la radio del telefono è spenta</translation>
    </message>
    <message>
        <source>the SIM refused the PIN of %1: it is not entered again until the file changes</source>
        <translation>la SIM ha rifiutato il PIN di %1: non viene più inserito finché il file non cambia</translation>
    </message>
</context>
<context>
    <name>PhoneWatch</name>
    <message>
        <source>the phone does not know AT%1 (it answered ERROR): it is not asked again</source>
        <translation>il telefono non conosce AT%1 (ha risposto ERROR): non viene più chiesto</translation>
    </message>
    <message>
        <source>AT+CFUN=1 answered %1: the radio stays off; it is not turned on again while it stays off</source>
        <translation>AT+CFUN=1 ha risposto %1: la radio resta spenta; non la si riaccende finché resta spenta</translation>
    </message>
    <message>
        <source>nothing</source>
        <translation>niente</translation>
    </message>
    <message>
        <source>the phone answers again: the start-up dialogue runs</source>
        <translation>il telefono risponde di nuovo: si ripete il dialogo di avvio</translation>
    </message>
    <message>
        <source>the phone still asks for it</source>
        <translation>il telefono lo chiede ancora</translation>
    </message>
    <message numerus="yes">
        <source>the SIM has %n PIN try(s) left: the PIN of %1 is not entered, the last try is left to a person</source>
        <translation>
            <numerusform>alla SIM resta %n tentativo per il PIN: il PIN di %1 non viene inserito, l&apos;ultimo tentativo spetta a una persona</numerusform>
            <numerusform>alla SIM restano %n tentativi per il PIN: il PIN di %1 non viene inserito, l&apos;ultimo tentativo spetta a una persona</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>entering the PIN of %1 (the SIM has %n try(s) left)</source>
        <translation>
            <numerusform>si inserisce il PIN di %1 (alla SIM resta %n tentativo)</numerusform>
            <numerusform>si inserisce il PIN di %1 (alla SIM restano %n tentativi)</numerusform>
        </translation>
    </message>
    <message>
        <source>entering the PIN of %1 (the phone does not tell the tries left)</source>
        <translation>si inserisce il PIN di %1 (il telefono non dice quanti tentativi restano)</translation>
    </message>
    <message>
        <source>the phone took the PIN of %1</source>
        <translation>il telefono ha accettato il PIN di %1</translation>
    </message>
    <message>
        <source>cannot remember the refused PIN in %1 (%2): a later run may enter it once more</source>
        <translation>impossibile ricordare il PIN rifiutato in %1 (%2): un avvio successivo potrebbe inserirlo un&apos;altra volta</translation>
    </message>
    <message numerus="yes">
        <source>the SIM has %n try(s) left</source>
        <translation>
            <numerusform>alla SIM resta %n tentativo</numerusform>
            <numerusform>alla SIM restano %n tentativi</numerusform>
        </translation>
    </message>
    <message>
        <source>the phone does not tell the tries left</source>
        <translation>il telefono non dice quanti tentativi restano</translation>
    </message>
    <message>
        <source>%1: turning it on</source>
        <translation>%1: la si accende</translation>
    </message>
    <message>
        <source>%1 (%2; %3)</source>
        <comment>the PIN file, the phone&apos;s answer, the tries left</comment>
        <translation>%1 (%2; %3)</translation>
    </message>
    <message>
        <source>cannot note the PIN&apos;s entry in %1 (%2): should the run end before the SIM takes it, a later run may enter it once more</source>
        <translation>impossibile annotare l&apos;inserimento del PIN in %1 (%2): se il funzionamento finisse prima che la SIM lo accetti, un avvio successivo potrebbe inserirlo un&apos;altra volta</translation>
    </message>
    <message>
        <source>text messages came to the port (AT+CNMI? mt %1): they are stored with a notice now (AT%2), so that none is lost or read as the phone&apos;s report</source>
        <translation>i messaggi arrivavano sulla porta (AT+CNMI? mt %1): ora vengono memorizzati con un avviso (AT%2), così che nessuno vada perso o venga letto come una segnalazione del telefono</translation>
    </message>
    <message>
        <source>text messages come to the port (AT+CNMI? mt %1) and AT%2 answered %3: a message of several lines may be read as the phone&apos;s reports</source>
        <translation>i messaggi arrivano sulla porta (AT+CNMI? mt %1) e AT%2 ha risposto %3: un messaggio di più righe potrebbe essere letto come segnalazioni del telefono</translation>
    </message>
</context>
<context>
    <name>PinFile</name>
    <message>
        <source>cannot read the PIN file %1: %2</source>
        <translation>impossibile leggere il file del PIN %1: %2</translation>
    </message>
    <message>
        <source>the PIN file %1 is not a file</source>
        <translation>il file del PIN %1 non è un file</translation>
    </message>
    <message>
        <source>the PIN file %1 may be read by others than its owner (mode %2): make it the owner&apos;s alone, chmod 600 %1</source>
        <translation>il file del PIN %1 può essere letto da altri oltre al proprietario (permessi %2): renderlo del solo proprietario, chmod 600 %1</translation>
    </message>
    <message>
        <source>the PIN file %1 does not hold a PIN: %2 to %3 digits on one line</source>
        <translation>il file del PIN %1 non contiene un PIN: da %2 a %3 cifre su una riga</translation>
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
    <message>
        <source>COM %1 is waited for: it opens by itself as soon as its device is there and free</source>
        <translation>si attende COM %1: si apre da sola appena il suo dispositivo è presente e libero</translation>
    </message>
    <message>
        <source>COM %1 is open, after %2 s of waiting for it</source>
        <translation>COM %1 è aperta, dopo %2 s di attesa</translation>
    </message>
    <message>
        <source>COM %1 is closed and opened again: the phone does not answer</source>
        <translation>COM %1 viene chiusa e riaperta: il telefono non risponde</translation>
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
        <translation>COM %1 aperta ( %2 )</translation>
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
<context>
    <name>StartOptions</name>
    <message>
        <source>Seconds after a squillo before it is called back (%1 to %2; default %3).</source>
        <translation>Secondi di attesa dopo uno squillo prima di richiamare (da %1 a %2; predefinito %3).</translation>
    </message>
    <message>
        <source>Seconds a call-back stands before it is hung up (%1 to %2; default %3).</source>
        <translation>Secondi per cui una richiamata resta in linea prima di riagganciare (da %1 a %2; predefinito %3).</translation>
    </message>
    <message>
        <source>Largest ring count that is still a squillo (%1 to %2; default %3).</source>
        <translation>Numero massimo di squilli che vale ancora come squillo (da %1 a %2; predefinito %3).</translation>
    </message>
    <message>
        <source>At start-up, open COM PORT (1 or 2) as APRI / CHIUDI PORTA does; a device that is not there yet or is busy is waited for.</source>
        <translation>All&apos;avvio apre la porta COM PORTA (1 o 2) come fa APRI / CHIUDI PORTA; se il dispositivo non è ancora presente o è occupato, lo attende.</translation>
    </message>
    <message>
        <source>At start-up, switch the responder on, as Attiva / Disattiva tornasquillo does.</source>
        <translation>All&apos;avvio attiva il risponditore, come fa Attiva / Disattiva tornasquillo.</translation>
    </message>
    <message>
        <source>%1 takes 1 (COM 1) or 2 (COM 2), not &quot;%2&quot;</source>
        <translation>%1 accetta 1 (COM 1) o 2 (COM 2), non &quot;%2&quot;</translation>
    </message>
    <message>
        <source>%1 takes a whole number from %2 to %3, not &quot;%4&quot;</source>
        <translation>%1 accetta un numero intero da %2 a %3, non &quot;%4&quot;</translation>
    </message>
    <message>
        <source>SECONDS</source>
        <translation>SECONDI</translation>
    </message>
    <message>
        <source>N</source>
        <translation>N</translation>
    </message>
    <message>
        <source>PORT</source>
        <translation>PORTA</translation>
    </message>
</context>
<context>
    <name>StateFolder</name>
    <message>
        <source>cannot make the folder %1</source>
        <translation>impossibile creare la cartella %1</translation>
    </message>
</context>
</TS>
