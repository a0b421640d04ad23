#include "ErrorMessages.h"

#include <string_view>
#include <utility>

namespace {
struct Entry {
    int number;
    const char* english;
    const char* french;
};

// The texts stand exactly as users have always read them, spelling included.
const Entry Table[] = {
    {1, "Mecanical power is not declared!", "La puissance mécanique n'est pas declarée!"},
    {2, "Line voltage is not declared!", "La tension de ligne n'est pas déclarée!"},
    {3, "Line current is not declared!", "Le courant de ligne n'est pas déclaré!"},
    {4, "Power factor is not declared!", "Le facteur de puissance n'est pas déclaré!"},
    {5, "Frequency is not declared!", "La fréquence n'est pas déclarée!"},
    {6, "No load current is not declared!", "Le courant à vide n'est pas déclaré!"},
    {7, "Nominal speed is not declared", "La vitesse nominale n'est pas déclarée"},
    {20, "Power factor must be less than 1!", "Le facteur de puissance doit être plus petit que 1!"},
    {21, "Mecanical power must be less than electrical power!",
     "La puissance mécanique doit être plus petite que la puissance électrique!"},
    {30, "Select motor in list before!", "Il faut d'a^bord choisir le moteur dans la liste!"},
    {31, "Select Soft-Starter parameters before!", "Il faut d'abord parametrer le Soft-Starter!"},
    {50, "You must choose how you want the calculation done!",
     "Vous devez choisir comment vous voulez que le calcul se fasse!"},
    {51, "Time Soft-Starter must be less than 30s!",
     "Le temps du Soft-Starter doit être plus petit que 30s!"},
    {70, "Loaded Torque is too big!", "Le couple de charge est trop grand!"},
    {100, "You must declare \"Nominals Values\" before!", "Il faut d'abord déclarer les valeurs nominales!"},
    {200, "Values are not declared", "Les valeurs ne sont pas déclarées"},

    // Values that the model cannot compute with (they would divide by zero or give no finite result).
    {ErrNoMotor, "No motor is declared!", "Aucun moteur n'est déclaré\u00A0!"},
    {ErrRatedSpeedZero, "Rated speed must be greater than 0!",
     "La vitesse nominale doit être plus grande que 0\u00A0!"},
    {ErrFrequencyZero, "Frequency must be greater than 0!",
     "La fréquence doit être plus grande que 0\u00A0!"},
    {ErrNoPairOfPoles, "Rated speed is too high for the frequency (no pair of poles)!",
     "La vitesse nominale est trop grande pour la fréquence (aucune paire de pôles)\u00A0!"},
    {ErrLineVoltageZero, "Line voltage must be greater than 0!",
     "La tension de ligne doit être plus grande que 0\u00A0!"},
    {ErrLineCurrentZero, "Line current must be greater than 0!",
     "Le courant de ligne doit être plus grand que 0\u00A0!"},
    {ErrPowerFactorZero, "Power factor must not be 0!", "Le facteur de puissance ne doit pas être 0\u00A0!"},
    {ErrMechanicalPowerZero, "Mechanical power must be greater than 0!",
     "La puissance mécanique doit être plus grande que 0\u00A0!"},
    {ErrNoLosses, "Electrical power must be greater than mechanical power (the motor has no losses)!",
     "La puissance électrique doit être plus grande que la puissance mécanique (le moteur n'a pas de "
     "pertes)\u00A0!"},
    {ErrPowerFactorOneApprox,
     "Power factor must be less than 1 for the approximation without no load current!",
     "Le facteur de puissance doit être plus petit que 1 pour le calcul approximatif sans le courant à "
     "vide\u00A0!"},
    {ErrNoLoadCurrentZero, "No load current must be greater than 0!",
     "Le courant à vide doit être plus grand que 0\u00A0!"},
    {ErrRotorResistanceZero, "R'r must not be 0!", "R'r ne doit pas être 0\u00A0!"},
    {ErrCircuitNotFinite, "The equivalent diagram gives no finite current or torque!",
     "Le schéma équivalent ne donne pas de courant ou de couple fini\u00A0!"},
    {ErrEstimatedTimeZero, "Estimated time to start motor must be greater than 0!",
     "Le temps estimé pour démarrer le moteur doit être plus grand que 0\u00A0!"},
    {ErrLimitUnreachable,
     "No ramp time up to 3600\u00A0s keeps Imax/In below the desired value: raise Imax/In or lower the "
     "preset!",
     "Aucun temps de rampe jusqu'à 3600\u00A0s ne garde Imax/In sous la valeur désirée\u00A0: augmentez "
     "Imax/In ou diminuez le preset\u00A0!"},
    {ErrCircuitOverflow,
     "The equivalent diagram's values are so large that the current or torque computation overflows!",
     "Les valeurs du schéma équivalent sont si grandes que le calcul du courant ou du couple dépasse les "
     "limites des nombres\u00A0!"},
    {ErrValueOverflows, "The value of \"%1\" is so large that a derived value overflows!",
     "La valeur de «\u00A0%1\u00A0» est si grande qu'une grandeur calculée dépasse les limites des "
     "nombres\u00A0!"},
    {ErrValueVanishes, "The value of \"%1\" is so small that a derived value vanishes!",
     "La valeur de «\u00A0%1\u00A0» est si petite qu'une grandeur calculée s'annule\u00A0!"},
    {ErrPresetRange, "Preset must lie between 0 and 100\u00A0%!",
     "Le preset doit être compris entre 0 et 100\u00A0%\u00A0!"},
    {ErrNoLoadCurrentTooBig, "No load line current must be less than %1\u00A0A (line current x sin phi)!",
     "Le courant de ligne à vide doit être plus petit que %1\u00A0A (courant de ligne x sin phi)\u00A0!"},
    {ErrRsField, "Rs is not declared or is not a number!",
     "Rs n'est pas déclarée ou n'est pas un nombre\u00A0!"},
    {ErrRrField, "R'r is not declared or is not a number!",
     "R'r n'est pas déclarée ou n'est pas un nombre\u00A0!"},
    {ErrXssigmaField, "Xssigma is not declared or is not a number!",
     "Xssigma n'est pas déclarée ou n'est pas un nombre\u00A0!"},
    {ErrXrsigmaField, "X'rsigma is not declared or is not a number!",
     "X'rsigma n'est pas déclarée ou n'est pas un nombre\u00A0!"},
    {ErrXhField, "Xh is not declared or is not a number!",
     "Xh n'est pas déclarée ou n'est pas un nombre\u00A0!"},
    {ErrRironField, "Riron is not declared or is not a number!",
     "Rfer n'est pas déclarée ou n'est pas un nombre\u00A0!"},
    {ErrNegativeElement, "%1 must not be negative!", "%1 ne doit pas être négative\u00A0!"},
    {ErrValueSmallOverflows, "The value of \"%1\" is so small that a derived value overflows!",
     "La valeur de «\u00A0%1\u00A0» est si petite qu'une grandeur calculée dépasse les limites des "
     "nombres\u00A0!"},
    {ErrValueLargeVanishes, "The value of \"%1\" is so large that a derived value vanishes!",
     "La valeur de «\u00A0%1\u00A0» est si grande qu'une grandeur calculée s'annule\u00A0!"},
    // A motor's data sheet and the double cage identified from it (180-185).
    {ErrBreakdownBelowLockedTorque,
     "The breakdown torque Tk/Tn (%1) must not be below the locked-rotor torque Ta/Tn (%2): it is the largest "
     "torque up to standstill!",
     "Le couple de décrochage Tk/Tn (%1) ne doit pas être inférieur au couple à rotor bloqué Ta/Tn (%2)\u00A0: "
     "c'est le plus grand couple jusqu'à l'arrêt\u00A0!"},
    {ErrFitOutsideTolerances,
     "No double-cage circuit meets this data sheet within the tolerances of IEC 60034-1 (the closest: %1)!",
     "Aucun circuit à double cage ne respecte ce catalogue constructeur dans les tolérances de la CEI 60034-1 "
     "(le plus proche\u00A0: %1)\u00A0!"},
    {ErrDatasheetIncomplete, "The data sheet needs Ia/In, Ta/Tn and Tk/Tn together (or none); missing: %1!",
     "Le catalogue constructeur demande ensemble Ia/In, Ta/Tn et Tk/Tn (ou aucun)\u00A0; il manque %1\u00A0!"},
    {ErrDatasheetNoSlip,
     "A data sheet's motor needs a rated speed below the synchronous speed (a slip at the rated point)!",
     "Le moteur d'un catalogue constructeur demande une vitesse nominale inférieure à la vitesse de synchronisme "
     "(un glissement au point nominal)\u00A0!"},
    {ErrDatasheetNoCircuit,
     "No double-cage circuit with positive elements comes near this data sheet: check its values!",
     "Aucun circuit à double cage aux éléments positifs n'approche ce catalogue constructeur\u00A0: vérifiez ses "
     "valeurs\u00A0!"},

    {ErrListTextSeparator, "Constructor and Motor Size must not contain \";\" or a line break!",
     "Le fabricant et la dimension du moteur ne doivent pas contenir \";\" ni de retour à la ligne\u00A0!"},
    {ErrListTextCharacter, "Constructor and Motor Size may only hold characters of the Windows-1252 set!",
     "Le fabricant et la dimension du moteur ne peuvent contenir que des caractères du jeu "
     "Windows-1252\u00A0!"},

    // The motor list under faults (212-219).
    {ErrListNotRegularFile, "\"%1\" is not a regular file: it cannot be read or written as a motor list!",
     "«\u00A0%1\u00A0» n'est pas un fichier ordinaire\u00A0: il ne peut être ni lu ni écrit comme liste de "
     "moteurs\u00A0!"},
    {ErrListTooLarge, "The motor list cannot be larger than %1: nothing was read or written!",
     "La liste de moteurs ne peut pas dépasser %1\u00A0: rien n'a été lu ni écrit\u00A0!"},
    {ErrBackupTooLarge, "The delivered motor list cannot be larger than %1: the motor list was not changed!",
     "La liste de moteurs d'origine ne peut pas dépasser %1\u00A0: la liste de moteurs n'a pas été "
     "modifiée\u00A0!"},
    {ErrListLockUnavailable,
     "The motor list cannot be locked against other programs (lock file %1), so it was not changed! It can "
     "still be read; to change it, make its folder writable or have the lock file created there once.",
     "La liste de moteurs ne peut pas être verrouillée contre d'autres programmes (fichier de verrou %1), "
     "elle n'a donc pas été modifiée\u00A0! Elle reste lisible\u00A0; pour la modifier, rendez son dossier "
     "accessible en écriture ou faites-y créer une fois le fichier de verrou."},
    {ErrListBusy,
     "Another program has been changing the motor list for more than %1: it was not changed, try again!",
     "Un autre programme modifie la liste de moteurs depuis plus de %1\u00A0: elle n'a pas été modifiée, "
     "réessayez\u00A0!"},

    // Mechanical data of the dynamic start (110-119).
    {ErrMechanicalNegative, "The value of %1 must not be negative!",
     "La valeur de «\u00A0%1\u00A0» ne doit pas être négative\u00A0!"},
    {ErrTotalInertiaZero, "The value of \"%1\" (motor and load) must be at least %2!",
     "La valeur de «\u00a0%1\u00a0» (moteur et charge) doit être d'au moins %2\u00a0!"},
    {ErrMechanicalNotFinite, "The value of %1 is not a finite number!",
     "La valeur de «\u00A0%1\u00A0» n'est pas un nombre fini\u00A0!"},
    {ErrStartTimeLimitRange, "The value of \"%1\" must lie between %2!",
     "La valeur de «\u00a0%1\u00a0» doit être comprise entre %2\u00a0!"},
    {ErrStartTooStiff,
     "A total inertia of %1\u00A0kg\u00A0m2 is too small to follow this start to its end: raise it or "
     "shorten the start-time limit!",
     "Une inertie totale de %1\u00A0kg\u00A0m2 est trop petite pour suivre ce démarrage jusqu'au bout\u00A0: "
     "augmentez-la ou raccourcissez la limite du temps de démarrage\u00A0!"},
    {ErrMechanicalNotANumber, "%1 is not a number!", "%1 n'est pas un nombre\u00A0!"},

    // Supply network (120-139).
    {ErrNetworkNotPositive, "The value of %1 must be greater than 0!",
     "La valeur de «\u00A0%1\u00A0» doit être plus grande que 0\u00A0!"},
    {ErrNetworkNegative, "The value of %1 must not be negative!",
     "La valeur de «\u00A0%1\u00A0» ne doit pas être négative\u00A0!"},
    {ErrNetworkNotFinite, "The value of %1 is not a finite number!",
     "La valeur de «\u00A0%1\u00A0» n'est pas un nombre fini\u00A0!"},
    {ErrTransformerUrAboveUk,
     "The transformer's resistive voltage u_R must not exceed its short-circuit voltage u_k!",
     "La tension résistive u_R du transformateur ne doit pas dépasser sa tension de court-circuit "
     "u_k\u00A0!"},
    {ErrCableParallel, "The value of \"%1\" must be a whole number between %2!",
     "La valeur de «\u00a0%1\u00a0» doit être un nombre entier compris entre %2\u00a0!"},
    {ErrDipLimitRange, "The value of \"%1\" must be above %2!",
     "La valeur de «\u00a0%1\u00a0» doit être supérieure à %2\u00a0!"},
    {ErrNetworkNotComputable,
     "The supply network's values are so large or so small that its impedance is not finite!",
     "Les valeurs du réseau d'alimentation sont si grandes ou si petites que son impédance n'est pas "
     "finie\u00A0!"},
    {ErrNetworkNotANumber, "%1 is not a number!", "%1 n'est pas un nombre\u00A0!"},

    // Starting methods and the starter's duty (140-149).
    {ErrMethodFraction, "The value of %1 must lie strictly between 0 and 1!",
     "La valeur de «\u00A0%1\u00A0» doit être strictement comprise entre 0 et 1\u00A0!"},
    {ErrStarterNotPositive, "The value of %1 must be a number greater than 0!",
     "La valeur de «\u00A0%1\u00A0» doit être un nombre plus grand que 0\u00A0!"},
    {ErrStarterRatingSyntax,
     "The starter rating \"%1\" is not of the form X-Tx:F-S, optionally after \"AC-53a:\" (e.g. AC-53a: "
     "3.5-17: 90-5)!",
     "La classe du démarreur «\u00A0%1\u00A0» n'est pas de la forme X-Tx:F-S, éventuellement précédée de "
     "«\u00A0AC-53a:\u00A0» (p. ex. AC-53a: 3.5-17: 90-5)\u00A0!"},
    {ErrStarterOnLoadFactor, "The value of \"%1\" must lie between %2!",
     "La valeur de «\u00a0%1\u00a0» doit être comprise entre %2\u00a0!"},
    {ErrMethodNotANumber, "%1 is not a number!", "%1 n'est pas un nombre\u00A0!"},
    {ErrStarterIncomplete,
     "The starter's duty check needs --starter-current, --starter-rating and --starts-per-hour together; "
     "missing: %1!",
     "La vérification du service du démarreur demande ensemble --starter-current, --starter-rating et "
     "--starts-per-hour\u00A0; il manque %1\u00A0!"},

    // Study files and sweeps (150-169).
    {ErrStudyNotJson, "The study file is not valid JSON (%1)!",
     "Le fichier d'étude n'est pas un JSON valable (%1)\u00A0!"},
    {ErrStudyNotStudy, "This file is not a Tarvello study (%1)!",
     "Ce fichier n'est pas une étude Tarvello (%1)\u00A0!"},
    {ErrStudyNewerVersion, "The study file has version %1; this program reads study files up to version %2!",
     "Le fichier d'étude est de la version %1\u00A0; ce programme lit les fichiers d'étude jusqu'à la "
     "version %2\u00A0!"},
    {ErrStudyUnknownKey, "Unknown key %1 in the study file!",
     "Clé inconnue %1 dans le fichier d'étude\u00A0!"},
    {ErrStudyDuplicateKey, "The key %1 appears twice in the study file!",
     "La clé %1 figure deux fois dans le fichier d'étude\u00A0!"},
    {ErrStudyWrongValue, "Wrong value in the study file: %1!",
     "Valeur incorrecte dans le fichier d'étude\u00A0: %1\u00A0!"},
    {ErrStudyMissingKey, "The study file lacks %1!", "Il manque %1 dans le fichier d'étude\u00A0!"},
    {ErrStudyNumberTooLarge, "A number of the study file is too large: %1!",
     "Un nombre du fichier d'étude est trop grand\u00A0: %1\u00A0!"},
    {ErrUnusedLoadCoefficient, "The load coefficient %1 is not used by the load kind in force!",
     "Le coefficient de charge %1 n'est pas utilisé par le type de charge en vigueur\u00A0!"},
    {ErrStudyCircuitOfTyped,
     "A typed motor is identified from its rated values: leave out %1 or make the source \"diagram\"!",
     "Un moteur saisi est identifié à partir de ses valeurs nominales\u00A0: retirez %1 ou choisissez la "
     "source «\u00A0diagram\u00A0»\u00A0!"},
    {ErrStudyNotRegularFile, "The study file %1 is not a regular file!",
     "Le fichier d'étude %1 n'est pas un fichier ordinaire\u00A0!"},
    {ErrStudyTooLarge, "The study file %1 is larger than 16\u00A0MiB!",
     "Le fichier d'étude %1 dépasse 16\u00A0Mio\u00A0!"},
    {ErrStudyCannotRead, "The study file cannot be read: %1!",
     "Le fichier d'étude ne peut pas être lu\u00A0: %1\u00A0!"},
    {ErrStudyCannotSave, "The study cannot be saved as %1!",
     "L'étude ne peut pas être enregistrée sous %1\u00A0!"},
    {ErrStudyNotWritable, "The study cannot be saved: %1!",
     "L'étude ne peut pas être enregistrée\u00A0: %1\u00A0!"},
    {ErrSweepSyntax,
     "The sweep \"%1\" is not of the form NAME=FROM:TO:COUNT, with two numbers and a whole number of values "
     "of at least 1!",
     "Le balayage «\u00A0%1\u00A0» n'est pas de la forme NOM=DE:À:NOMBRE, avec deux nombres et un nombre "
     "entier de valeurs d'au moins 1\u00A0!"},
    {ErrSweepName, "%1 is not an option whose number a sweep can vary!",
     "%1 n'est pas une option dont un balayage peut faire varier le nombre\u00A0!"},
    {ErrSweepTwice, "%1 is swept twice, or swept and also given!",
     "%1 est balayée deux fois, ou balayée et donnée aussi\u00A0!"},
    {ErrSweepValueRefused, "A value of the sweep is beyond the range of numbers an option takes!",
     "Une valeur du balayage dépasse les nombres qu'une option accepte\u00A0!"},
    {ErrSweepTooLarge, "A sweep may run at most %1 cases!",
     "Un balayage ne peut pas compter plus de %1 cas\u00A0!"},

    // The overload relay and the motor's thermal limit (170-179).
    {ErrRelaySettingLow,
     "The value of \"%1\" must be at least %2: the relay must carry the motor's rated current (Ir at least "
     "In / 1.05)!",
     "La valeur de «\u00a0%1\u00a0» doit être au moins %2\u00a0: le relais doit supporter le courant assigné "
     "du moteur (Ir au moins In / 1,05)\u00a0!"},
    {ErrRelaySettingHigh, "The value of \"%1\" must be at most %2 (10 times the rated current)!",
     "La valeur de «\u00a0%1\u00a0» doit être au plus %2 (10 fois le courant assigné)\u00a0!"},
    {ErrWithstandRange, "The value of \"%1\" must be above %2!",
     "La valeur de «\u00a0%1\u00a0» doit être supérieure à %2\u00a0!"},
    {ErrWithstandHotAboveCold,
     "The locked-rotor withstand time when hot (%1) must not be longer than when cold (%2)!",
     "Le temps de blocage admissible à chaud (%1) ne doit pas dépasser celui à froid (%2)\u00a0!"},
    {ErrWithstandOnlyOne,
     "Give both locked-rotor withstand times, cold and hot, or neither!",
     "Donnez les deux temps de blocage admissibles, à froid et à chaud, ou aucun\u00a0!"},
    {ErrRelayClassUnknown, "%1 is not a trip class: give 10A, 10, 20 or 30!",
     "%1 n'est pas une classe de déclenchement\u00a0: donnez 10A, 10, 20 ou 30\u00a0!"},
    {ErrRelayWithoutClass, "%1 belongs to the overload relay's check: give its trip class with --relay-class!",
     "%1 fait partie de la vérification du relais de surcharge\u00a0: donnez sa classe de déclenchement "
     "avec --relay-class\u00a0!"},
    {ErrTimeCurrentWithoutDynamic,
     "%1 draws the dynamic start against the overload relay: give --dynamic and --relay-class!",
     "%1 trace le démarrage dynamique face au relais de surcharge\u00a0: donnez --dynamic et "
     "--relay-class\u00a0!"},

    // Data sheets and the double cage (180-189).
    {ErrDatasheetNotANumber, "%1 is not a number!", "%1 n'est pas un nombre\u00A0!"},
    {ErrListSecondCage,
     "The motor list holds motors with one rotor cage only: save this motor with its second cage in a study "
     "(Save Study As)!",
     "La liste de moteurs ne contient que des moteurs à une cage rotorique\u00A0: enregistrez ce moteur à "
     "double cage dans une étude (Enregistrer l'étude sous)\u00A0!"},
    {ErrDatasheetTable, "The data-sheet table cannot be read: %1!",
     "Le tableau des catalogues constructeur ne peut pas être lu\u00A0: %1\u00A0!"},
    {ErrDatasheetRow, "Row %1 of the data-sheet table cannot be read: %2!",
     "La ligne %1 du tableau des catalogues constructeur ne peut pas être lue\u00A0: %2\u00A0!"},

    // The command line's option texts and output files, and the files the desktop writes (220-227).
    // French puts a no-break space before "!", ":" and ";".
    {ErrOptionNotANumber, "%1 is not a number!", "%1 n'est pas un nombre\u00A0!"},
    {ErrSameFile, "%1 name the same file: nothing was computed or written!",
     "%1 désignent le même fichier\u00A0: rien n'a été calculé ni écrit\u00A0!"},
    {ErrCannotWrite, "Cannot write %1: no file was changed!",
     "Impossible d'écrire %1\u00A0: aucun fichier n'a été modifié\u00A0!"},
    {ErrCatalogueUnreadable, "The motor catalogue cannot be read: %1!",
     "Le catalogue de moteurs ne peut pas être lu\u00A0: %1\u00A0!"},
    {ErrCatalogueRecord, "The motor catalogue has no usable motor for %1!",
     "Le catalogue de moteurs n'a pas de moteur utilisable pour %1\u00A0!"},
    {ErrSweepChartEmpty,
     "The chart of --sweep-png has nothing to draw: no case of the sweep gives a value of %1; no image was "
     "written!",
     "Le graphique de --sweep-png n'a rien à tracer\u00A0: aucun cas du balayage ne donne de valeur de "
     "%1\u00A0; aucune image n'a été écrite\u00A0!"},
    {ErrFileInUse,
     "The file %1 is in use by this program (the motor list or the study in hand): choose another file!",
     "Le fichier %1 est utilisé par ce programme (la liste de moteurs ou l'étude en cours)\u00A0: choisissez "
     "un autre fichier\u00A0!"},
    {ErrOutputsPartlyReplaced,
     "Cannot put %1 in place: the outputs before it were replaced, it and those after it were not!",
     "Impossible de mettre %1 en place\u00A0: les sorties qui le précèdent ont été remplacées, lui et les "
     "suivantes non\u00A0!"},
    // The ranges of the dynamic start's settings (228-233): the field, then its range with the unit.
    {ErrValueOutOfRange, "The value of \"%1\" must lie between %2!",
     "La valeur de «\u00a0%1\u00a0» doit être comprise entre %2\u00a0!"},
    {ErrValueAboveAtMost, "The value of \"%1\" must be above %2!",
     "La valeur de «\u00a0%1\u00a0» doit être supérieure à %2\u00a0!"},

    // Study texts (234-236).
    {ErrStudyControlCharacter, "A text of the study file holds a control character: %1!",
     "Un texte du fichier d'étude contient un caractère de contrôle\u00A0: %1\u00A0!"},

};
} // namespace

std::string Excerpt(std::string_view text) {
    constexpr std::size_t MaxCharacters = 60;
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        // A byte 10xxxxxx continues the character before it: the cut falls before a character's first byte.
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
        if (++characters > MaxCharacters) return std::string(text.substr(0, i)) + "\u2026";
    }
    return std::string(text);
}

const char* ErrorMessage(int number, Language language) {
    for (const Entry& e : Table)
        if (e.number == number) return language == Language::English ? e.english : e.french;
    return nullptr;
}

namespace {
// The dialog's first messages read as users have always read them.
bool IsOriginalMessage(int number) {
    for (int n : {1, 2, 3, 4, 5, 6, 7, 20, 21, 30, 31, 50, 51, 70, 100, 200})
        if (n == number) return true;
    return false;
}

// French puts a space before "!", "?", ":" and ";" and inside « »; a no-break one keeps the sign
// from starting a line. The arguments' own spaces (line numbers, quoted names) are included.
std::string FrenchSpacing(const std::string& text) {
    static constexpr std::pair<std::string_view, std::string_view> Spaces[] = {
        {"\u00AB ", "\u00AB\u00A0"}, {" \u00BB", "\u00A0\u00BB"}, {" !", "\u00A0!"},
        {" ?", "\u00A0?"},             {" :", "\u00A0:"},             {" ;", "\u00A0;"}};
    std::string out = text;
    for (const auto& [plain, kept] : Spaces)
        for (std::size_t at = out.find(plain); at != std::string::npos; at = out.find(plain, at + kept.size()))
            out.replace(at, plain.size(), kept);
    return out;
}
} // namespace

std::string ErrorText(int number, Language language, const ErrorArgument& argument) {
    const char* message = ErrorMessage(number, language);
    if (!message) return {};
    std::string text = message;
    const bool english = language == Language::English;
    const std::string& value = english ? argument.english : argument.french;
    const std::string& second = english ? argument.english2 : argument.french2;
    // Both places are found in the message itself, the later one filled first: what fills one is
    // never searched for the other.
    const auto first = text.find("%1"), other = text.find("%2");
    std::pair<std::size_t, const std::string*> places[] = {{first, &value}, {other, &second}};
    if (other != std::string::npos && (first == std::string::npos || other > first))
        std::swap(places[0], places[1]);
    for (const auto& [at, filler] : places)
        if (at != std::string::npos) text.replace(at, 2, *filler);
    return english || IsOriginalMessage(number) ? text : FrenchSpacing(text);
}
