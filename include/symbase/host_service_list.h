// The host services, each declared once with its contract. symbase/host.h
// turns every entry into an exported function of that name, which the
// library calls and which forwards to the installed services object;
// symbase/host_services.h turns it into a virtual member of CHostServices,
// which a host overrides to serve it itself. The contract binds both, and
// every override; "Default" says what CHostServices itself does.
//
// No include guard: an includer defines
//   SYMBASE_HOST_SERVICE(result, name, parameters, arguments)
// before including this list, and undefines it after. `arguments` is
// `parameters` without their types, for forwarding.
//
// The error report service is not in the list: the function takes the
// report's seven values, the member one HostErrorReport (symbase/host.h,
// symbase/host_services.h).

// ---- Host framework library ----

// Shows `message` in a modal message box titled `text`, of `kind` (7 a
// question, 2 a warning), with the button set `buttons` (4 yes and no, 0 a
// single acknowledgement). Returns the button pressed: kHostIdYes,
// kHostIdNo, kHostIdOk or kHostIdCancel.
// Default: recorded (HostMessageBoxes), nothing shown; answers the next
// answer queued with HostQueueMessageBoxAnswer, else kHostIdCancel.
SYMBASE_HOST_SERVICE(int, HostMessageBox,
                     (const char* text, const char* message, int kind, int buttons),
                     (text, message, kind, buttons))
// The host's object number `id`: 1 is the application object that the
// settings and the change notification are called on. Null for an id the
// host does not know.
// Default: for 1, the object given to HostSetApplicationObject, or a
// built-in one (class "CHostApplication"); null for any other id.
SYMBASE_HOST_SERVICE(CObject*, HostGetObject, (int id), (id))
// The integer stored under `key` in settings `section` of the application
// `app`, or `fallback` when there is none.
// Default: read from the settings file under $XDG_CONFIG_HOME/symbase/
// (else ~/.config/symbase/); a missing or unreadable value, a key it would
// refuse to write or a damaged file reads as `fallback`.
SYMBASE_HOST_SERVICE(int, HostReadSetting,
                     (CObject * app, int section, const char* key, int fallback),
                     (app, section, key, fallback))
// Stores `value` under `key` in settings `section` of `app`. Returns 1 when
// stored, 0 when not.
// Default: written to the settings file at once, atomically; 0 when the key
// is refused (empty, over 128 bytes, control characters, "=", "[" or "]")
// or the file cannot be written.
SYMBASE_HOST_SERVICE(int, HostWriteSetting,
                     (CObject * app, int section, const char* key, int value),
                     (app, section, key, value))
// Tells the application `app` that the symbol base changed (an object was
// created by the on-line dialog). No result.
// Default: recorded (HostChangeNotifications).
SYMBASE_HOST_SERVICE(void, HostNotifyChange, (CObject * app), (app))
// Tells the frame window `frame` of an event: the symbol base sends
// `first` 0, `code` 4025 and `flag` 1 with the address just symbolised as
// `text`. No result.
// Default: recorded (HostFrameNotifications).
SYMBASE_HOST_SERVICE(void, HostFrameNotify,
                     (CWnd * frame, int first, int code, int flag, const char* text),
                     (frame, first, code, flag, text))

// ---- Addressing-mode library ----

// How module numbers are written in addresses: 1 in decimal; any other
// answer in base 32.
// Default: what HostSetAddressingMode set, 0 at first.
SYMBASE_HOST_SERVICE(int, GetAddressingMode, (), ())

// ---- Object server library ----

// The object number `id` of the open project: 3 is the symbol base
// (CTBData*) of its open project. Null when there is none.
// Default: the object registered under `id` with HostRegisterServerObject.
SYMBASE_HOST_SERVICE(CObject*, ServerGetObject, (int id), (id))
// The service number `id`: 219 is the declarations object. Null when there
// is none.
// Default: for 219, built-in declarations that know no symbol; null for any
// other id.
SYMBASE_HOST_SERVICE(HostDeclarations*, ServerGetService, (int id), (id))

// ---- Declarations library ----

// Makes `record`, in the caller's storage, ready for DeclFindSymbol.
// Default: an empty comment. A null record is ignored.
SYMBASE_HOST_SERVICE(void, DeclRecordCreate, (HostDeclRecord * record), (record))
// Releases what DeclRecordCreate or DeclFindSymbol left in `record`.
// Default: empties the comment. A null record is ignored.
SYMBASE_HOST_SERVICE(void, DeclRecordDestroy, (HostDeclRecord * record), (record))
// Looks `symbol` up in the declarations `decl` (`scope` 0: the open
// project) and fills `record` with what they declare of it. Returns
// kDeclLeftToBase when the declarations leave the symbol to the symbol base;
// any other value when they declare it themselves.
// Default: every symbol is left to the symbol base; the record's comment
// emptied.
SYMBASE_HOST_SERVICE(int, DeclFindSymbol,
                     (HostDeclarations * decl, int scope, const char* symbol,
                      HostDeclRecord* record),
                     (decl, scope, symbol, record))
// The address that the declarations `decl` (`scope` 0) give `symbol`, into
// `address`; empty when none.
// Default: always empty.
SYMBASE_HOST_SERVICE(void, DeclGetAddress,
                     (HostDeclarations * decl, int scope, const char* symbol, CString& address),
                     (decl, scope, symbol, address))
// The comment a record filled by DeclFindSymbol declares, into `comment`.
// Default: the record's comment up to its first NUL (never past the field);
// empty for a null record.
SYMBASE_HOST_SERVICE(void, DeclRecordComment, (const HostDeclRecord* record, CString& comment),
                     (record, comment))

// ---- Object-name library ----

// Whether the analysed word `result` may name an object in `context`
// (made by the context library): *ok 1 when it may, 0 when refused; *value
// the object kind it names. Null out-parameters are not written.
// Default: ok for an address (class kWordAddress), with its object kind;
// refused, value 0, for anything else.
SYMBASE_HOST_SERVICE(void, CheckAnalysedName,
                     (const HostContext* context, const UsAts* result, int* ok, int* value),
                     (context, result, ok, value))
// Whether `symbol` may be given to an object: *ok 1 and *reason 0 when it
// may; *ok 0 and *reason 1 to 7 when refused (kSymbolReserved, kSymbolSyntax
// ...). Null out-parameters are not written.
// Default: refused with kSymbolSyntax for a null or empty text and one that
// is not a symbol, with kSymbolReserved for a reserved word.
SYMBASE_HOST_SERVICE(void, CheckSymbolName, (const char* symbol, int* ok, int* reason),
                     (symbol, ok, reason))

// ---- Context library ----
//
// The context a name check takes is built for one check: a source is
// created and set up, hands out a value, the context is made from that
// value; then the context and the source are destroyed. Each object lives
// in the caller's storage; a null one is ignored (0 for a result).

// Makes `source` empty: not set up.
SYMBASE_HOST_SERVICE(void, ContextSourceCreate, (HostContextSource * source), (source))
// Sets `source` up to hand out contexts of `purpose` (1: the object-name
// check, the only one the symbol base asks for) over `scope` (0: the open
// project) with `options` (0: none). Returns 1 when set up, 0 when not.
// Default: keeps the three values in the source and marks it ready.
SYMBASE_HOST_SERVICE(int, ContextSourceSetup,
                     (HostContextSource * source, int purpose, int scope, int options),
                     (source, purpose, scope, options))
// The value of a context from `source`, for `scope` with `options` (the
// symbol base gives 0 and 0); 0 when the source is not set up.
// Default: a value naming the source; 0 before the set-up and after
// ContextSourceDestroy.
SYMBASE_HOST_SERVICE(std::intptr_t, ContextSourceGet,
                     (HostContextSource * source, int scope, int options), (source, scope, options))
// Makes `context` from a value of ContextSourceGet.
// Default: keeps the value and marks the context live.
SYMBASE_HOST_SERVICE(void, ContextCreate, (HostContext * context, std::intptr_t value),
                     (context, value))
// Ends `context`. Default: clears its value and marks it no longer live.
SYMBASE_HOST_SERVICE(void, ContextDestroy, (HostContext * context), (context))
// Ends `source`: it hands out nothing more. Default: marks it not set up.
SYMBASE_HOST_SERVICE(void, ContextSourceDestroy, (HostContextSource * source), (source))

// ---- Lexical analyser library ----

// Readies a symbol text for storing or seeking: removes the blanks around
// `text` in place (NUL-ended) and returns its length when what remains is a
// symbol (letters, digits, "_", Windows-1252 letters; not starting with a
// digit; at most 32 bytes), else 0. A null text gives 0.
SYMBASE_HOST_SERVICE(int, PrepareSymbol, (char* text), (text))
// Makes `analyser`, in the caller's storage, ready for AnalyseText.
// Default: kind kAnalysisNothing. A null analyser is ignored.
SYMBASE_HOST_SERVICE(void, AnalyserCreate, (HostAnalyser * analyser), (analyser))
// Releases what `analyser` holds. Default: forgets the last kind.
SYMBASE_HOST_SERVICE(void, AnalyserDestroy, (HostAnalyser * analyser), (analyser))
// Analyses one NUL-ended word (blanks around it ignored) into `result`: an
// address (class kWordAddress), a symbol (class kWordSymbol), or class
// kWordNothing for anything else, reserved words, texts over 255 bytes and
// numbers over 99999 included. A null text gives class kWordNothing; a null
// result is not written. The analyser keeps the kind (AnalysisKind).
SYMBASE_HOST_SERVICE(void, AnalyseText, (HostAnalyser * analyser, const char* text, UsAts* result),
                     (analyser, text, result))
// Ends the last analysis; called right after each AnalyseText.
SYMBASE_HOST_SERVICE(void, AnalyserFinish, (HostAnalyser * analyser), (analyser))
// The kind of the last analysis: kAnalysisSymbol (306) a plain symbol,
// kAnalysisAddress (307) an address, kAnalysisReserved (305) a reserved
// word, kAnalysisNothing (0) anything else or a null analyser.
SYMBASE_HOST_SERVICE(int, AnalysisKind, (const HostAnalyser* analyser), (analyser))
// The number of a result's value part (%MW10: 10); 0 for null.
SYMBASE_HOST_SERVICE(std::uint32_t, ResultValue, (const UsAtsValue* value), (value))
// The text of a result's value part: the symbol of a symbol, the address of
// an address; "" for null or a text without its NUL. Never null; valid as
// long as the record.
SYMBASE_HOST_SERVICE(const char*, ResultText, (const UsAtsValue* value), (value))
// How many numbers a result's component list holds (at most
// kUsAtsComponents); 0 for null.
SYMBASE_HOST_SERVICE(std::uint32_t, ComponentCount, (const UsAtsComponents* list), (list))
// The component number `index` of the list; 0 for an index past the count.
SYMBASE_HOST_SERVICE(std::uint32_t, ComponentAt, (const UsAtsComponents* list, std::uint32_t index),
                     (list, index))
// Makes `formatter`, in the caller's storage, ready: no address loaded.
SYMBASE_HOST_SERVICE(void, FormatterCreate, (HostFormatter * formatter), (formatter))
// Loads an analysed word: the formatter then holds its address in the
// workshop's form (upper case, numbers without leading zeros: "%IW3.1:X4");
// "" for any other result or a null one.
SYMBASE_HOST_SERVICE(void, FormatterLoad, (HostFormatter * formatter, const UsAts* result),
                     (formatter, result))
// The address the formatter holds; "" when none. Never null; valid until the
// next FormatterLoad.
SYMBASE_HOST_SERVICE(const char*, FormatterAddress, (const HostFormatter* formatter), (formatter))
