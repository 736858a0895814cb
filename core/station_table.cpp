#include "station_table.h"

namespace {

// One row per station, in Tessary order (number = index + 1). The order is
// alphabetical but for the Heathrow pair, whose numbers are part of the game,
// so it must never be re-sorted. The rows become two plain arrays: the names
// one after another, each ended by its NUL, and the currents, a byte each.
// clang-format off
#define STATION_ROWS(ROW) \
    ROW("Acton Town", 63) \
    ROW("Aldgate", 32) \
    ROW("Aldgate East", 39) \
    ROW("All Saints", 52) \
    ROW("Alperton", 65) \
    ROW("Amersham", 100) \
    ROW("Angel", 21) \
    ROW("Archway", 35) \
    ROW("Arnos Grove", 52) \
    ROW("Arsenal", 38) \
    ROW("Baker Street", 19) \
    ROW("Balham", 49) \
    ROW("Bank", 21) \
    ROW("Barbican", 16) \
    ROW("Barking", 70) \
    ROW("Barkingside", 79) \
    ROW("Barons Court", 41) \
    ROW("Bayswater", 31) \
    ROW("Beckton", 86) \
    ROW("Beckton Park", 77) \
    ROW("Becontree", 76) \
    ROW("Belsize Park", 28) \
    ROW("Bermondsey", 36) \
    ROW("Bethnal Green", 40) \
    ROW("Blackfriars", 16) \
    ROW("Blackhorse Road", 56) \
    ROW("Blackwall", 57) \
    ROW("Bond Street", 15) \
    ROW("Borough", 29) \
    ROW("Boston Manor", 69) \
    ROW("Bounds Green", 50) \
    ROW("Bow Church", 52) \
    ROW("Bow Road", 50) \
    ROW("Brent Cross", 37) \
    ROW("Brixton", 44) \
    ROW("Bromley-by-Bow", 56) \
    ROW("Buckhurst Hill", 79) \
    ROW("Burnt Oak", 46) \
    ROW("Caledonian Road", 32) \
    ROW("Camden Town", 22) \
    ROW("Canada Water", 43) \
    ROW("Canary Wharf", 55) \
    ROW("Canning Town", 62) \
    ROW("Cannon Street", 18) \
    ROW("Canons Park", 54) \
    ROW("Chalfont and Latimer", 91) \
    ROW("Chalk Farm", 26) \
    ROW("Chancery Lane", 10) \
    ROW("Charing Cross", 12) \
    ROW("Chesham", 97) \
    ROW("Chigwell", 80) \
    ROW("Chiswick Park", 62) \
    ROW("Chorleywood", 86) \
    ROW("Clapham Common", 45) \
    ROW("Clapham North", 44) \
    ROW("Clapham South", 47) \
    ROW("Cockfosters", 58) \
    ROW("Colindale", 44) \
    ROW("Colliers Wood", 54) \
    ROW("Covent Garden", 4) \
    ROW("Crossharbour & London Arena", 57) \
    ROW("Croxley", 85) \
    ROW("Custom House", 70) \
    ROW("Cyprus", 79) \
    ROW("Dagenham East", 83) \
    ROW("Dagenham Heathway", 79) \
    ROW("Debden", 87) \
    ROW("Devons Road", 52) \
    ROW("Dollis Hill", 41) \
    ROW("Ealing Broadway", 68) \
    ROW("Ealing Common", 62) \
    ROW("Earl's Court", 35) \
    ROW("East Acton", 47) \
    ROW("East Finchley", 39) \
    ROW("East Ham", 68) \
    ROW("East India", 60) \
    ROW("East Putney", 49) \
    ROW("Eastcote", 73) \
    ROW("Edgware", 49) \
    ROW("Edgware Road", 26) \
    ROW("Elephant and Castle", 32) \
    ROW("Elm Park", 86) \
    ROW("Embankment", 15) \
    ROW("Epping", 93) \
    ROW("Euston", 14) \
    ROW("Euston Square", 11) \
    ROW("Fairlop", 80) \
    ROW("Farringdon", 15) \
    ROW("Finchley Central", 41) \
    ROW("Finchley Road", 30) \
    ROW("Finsbury Park", 41) \
    ROW("Fulham Broadway", 42) \
    ROW("Gallions Reach", 81) \
    ROW("Gants Hill", 75) \
    ROW("Gloucester Road", 31) \
    ROW("Golders Green", 35) \
    ROW("Goldhawk Road", 42) \
    ROW("Goodge Street", 4) \
    ROW("Grange Hill", 82) \
    ROW("Great Portland Street", 12) \
    ROW("Green Park", 16) \
    ROW("Greenford", 71) \
    ROW("Gunnersbury", 62) \
    ROW("Hainault", 81) \
    ROW("Hammersmith", 43) \
    ROW("Hampstead", 32) \
    ROW("Hanger Lane", 65) \
    ROW("Harlesden", 47) \
    ROW("Harrow and Wealdstone", 58) \
    ROW("Harrow-on-the-Hill", 59) \
    ROW("Hatton Cross", 77) \
    ROW("Heathrow Terminals 1,2,3", 81) \
    ROW("Heathrow Terminal 4", 82) \
    ROW("Hendon Central", 41) \
    ROW("Heron Quays", 56) \
    ROW("High Barnet", 51) \
    ROW("High Street Kensington", 31) \
    ROW("Highbury and Islington", 34) \
    ROW("Highgate", 37) \
    ROW("Hillingdon", 83) \
    ROW("Holborn", 5) \
    ROW("Holland Park", 36) \
    ROW("Holloway Road", 35) \
    ROW("Hornchurch", 88) \
    ROW("Hounslow Central", 72) \
    ROW("Hounslow East", 71) \
    ROW("Hounslow West", 74) \
    ROW("Hyde Park Corner", 19) \
    ROW("Ickenham", 81) \
    ROW("Island Gardens", 59) \
    ROW("Kennington", 39) \
    ROW("Kensal Green", 45) \
    ROW("Kensington (Olympia)", 35) \
    ROW("Kentish Town", 27) \
    ROW("Kenton", 55) \
    ROW("Kew Gardens", 65) \
    ROW("Kilburn", 36) \
    ROW("Kilburn Park", 42) \
    ROW("King's Cross St. Pancras", 15) \
    ROW("Kingsbury", 49) \
    ROW("Knightsbridge", 21) \
    ROW("Ladbroke Grove", 40) \
    ROW("Lambeth North", 29) \
    ROW("Lancaster Gate", 22) \
    ROW("Latimer Road", 41) \
    ROW("Leicester Square", 5) \
    ROW("Leyton", 64) \
    ROW("Leytonstone", 65) \
    ROW("Limehouse", 45) \
    ROW("Liverpool Street", 31) \
    ROW("London Bridge", 28) \
    ROW("Loughton", 84) \
    ROW("Maida Vale", 40) \
    ROW("Manor House", 45) \
    ROW("Mansion House", 17) \
    ROW("Marble Arch", 21) \
    ROW("Marylebone", 24) \
    ROW("Mile End", 48) \
    ROW("Mill Hill East", 46) \
    ROW("Monument", 24) \
    ROW("Moor Park", 81) \
    ROW("Moorgate", 23) \
    ROW("Morden", 58) \
    ROW("Mornington Crescent", 18) \
    ROW("Mudchute", 58) \
    ROW("Neasden", 43) \
    ROW("New Cross", 51) \
    ROW("New Cross Gate", 49) \
    ROW("Newbury Park", 79) \
    ROW("North Acton", 52) \
    ROW("North Ealing", 62) \
    ROW("North Greenwich", 60) \
    ROW("North Harrow", 65) \
    ROW("North Wembley", 49) \
    ROW("Northfields", 67) \
    ROW("Northolt", 73) \
    ROW("Northwick Park", 55) \
    ROW("Northwood", 77) \
    ROW("Northwood Hills", 73) \
    ROW("Notting Hill Gate", 30) \
    ROW("Oakwood", 56) \
    ROW("Old Street", 23) \
    ROW("Osterley", 71) \
    ROW("Oval", 40) \
    ROW("Oxford Circus", 8) \
    ROW("Paddington", 32) \
    ROW("Park Royal", 62) \
    ROW("Parsons Green", 44) \
    ROW("Perivale", 69) \
    ROW("Piccadilly Circus", 9) \
    ROW("Pimlico", 30) \
    ROW("Pinner", 67) \
    ROW("Plaistow", 64) \
    ROW("Poplar", 52) \
    ROW("Preston Road", 50) \
    ROW("Prince Regent", 72) \
    ROW("Pudding Mill Lane", 55) \
    ROW("Putney Bridge", 46) \
    ROW("Queens Park", 43) \
    ROW("Queensbury", 51) \
    ROW("Queensway", 26) \
    ROW("Ravenscourt Park", 48) \
    ROW("Rayners Lane", 71) \
    ROW("Redbridge", 72) \
    ROW("Regent's Park", 10) \
    ROW("Richmond", 67) \
    ROW("Rickmansworth", 84) \
    ROW("Roding Valley", 76) \
    ROW("Rotherhithe", 43) \
    ROW("Royal Albert", 74) \
    ROW("Royal Oak", 38) \
    ROW("Royal Victoria", 67) \
    ROW("Ruislip", 78) \
    ROW("Ruislip Gardens", 74) \
    ROW("Ruislip Manor", 75) \
    ROW("Russell Square", 8) \
    ROW("Seven Sisters", 50) \
    ROW("Shadwell", 41) \
    ROW("Shepherd's Bush", 39) \
    ROW("Shoreditch", 40) \
    ROW("Sloane Square", 23) \
    ROW("Snaresbrook", 67) \
    ROW("South Ealing", 65) \
    ROW("South Harrow", 68) \
    ROW("South Kensington", 28) \
    ROW("South Kenton", 50) \
    ROW("South Quay", 57) \
    ROW("South Ruislip", 73) \
    ROW("South Wimbledon", 56) \
    ROW("South Woodford", 69) \
    ROW("Southfields", 53) \
    ROW("Southgate", 54) \
    ROW("Southwark", 23) \
    ROW("St. James's Park", 18) \
    ROW("St. John's Wood", 26) \
    ROW("St. Paul's", 16) \
    ROW("Stamford Brook", 53) \
    ROW("Stanmore", 56) \
    ROW("Stepney Green", 43) \
    ROW("Stockwell", 42) \
    ROW("Stonebridge Park", 48) \
    ROW("Stratford", 62) \
    ROW("Sudbury Hill", 67) \
    ROW("Sudbury Town", 66) \
    ROW("Surrey Quays", 47) \
    ROW("Swiss Cottage", 28) \
    ROW("Temple", 16) \
    ROW("Theydon Bois", 90) \
    ROW("Tooting Bec", 51) \
    ROW("Tooting Broadway", 53) \
    ROW("Tottenham Court Road", 0) \
    ROW("Tottenham Hale", 51) \
    ROW("Totteridge and Whetstone", 48) \
    ROW("Tower Gateway", 34) \
    ROW("Tower Hill", 32) \
    ROW("Tufnell Park", 33) \
    ROW("Turnham Green", 58) \
    ROW("Turnpike Lane", 47) \
    ROW("Upminster", 94) \
    ROW("Upminster Bridge", 91) \
    ROW("Upney", 73) \
    ROW("Upton Park", 66) \
    ROW("Uxbridge", 88) \
    ROW("Vauxhall", 36) \
    ROW("Victoria", 20) \
    ROW("Walthamstow Central", 58) \
    ROW("Wanstead", 70) \
    ROW("Wapping", 42) \
    ROW("Warren Street", 9) \
    ROW("Warwick Avenue", 38) \
    ROW("Waterloo", 23) \
    ROW("Watford", 87) \
    ROW("Wembley Central", 49) \
    ROW("Wembley Park", 45) \
    ROW("West Acton", 57) \
    ROW("West Brompton", 40) \
    ROW("West Finchley", 43) \
    ROW("West Ham", 63) \
    ROW("West Hampstead", 33) \
    ROW("West Harrow", 65) \
    ROW("West India Quay", 54) \
    ROW("West Kensington", 39) \
    ROW("West Ruislip", 84) \
    ROW("Westbourne Park", 39) \
    ROW("Westferry", 48) \
    ROW("Westminster", 16) \
    ROW("White City", 44) \
    ROW("Whitechapel", 40) \
    ROW("Willesden Green", 39) \
    ROW("Willesden Junction", 46) \
    ROW("Wimbledon", 61) \
    ROW("Wimbledon Park", 57) \
    ROW("Wood Green", 48) \
    ROW("Woodford", 72) \
    ROW("Woodside Park", 46) \

#define NAME_OF_ROW(name, current) name "\0"
#define CURRENT_OF_ROW(name, current) current,
constexpr char kNames[] = STATION_ROWS(NAME_OF_ROW);
constexpr unsigned char kCurrents[] = {STATION_ROWS(CURRENT_OF_ROW)};
// clang-format on
#undef NAME_OF_ROW
#undef CURRENT_OF_ROW
#undef STATION_ROWS
static_assert(sizeof kCurrents == NUM_STATIONS, "the station table must have NUM_STATIONS rows");

}  // namespace

void StationTable::FillStationTable() {
    const char* name = kNames;
    for (int index = 0; index < NUM_STATIONS; ++index) {
        m_names[index] = name;
        m_currents[index] = kCurrents[index];
        while (*name != '\0') ++name;
        ++name;  // past the NUL that ends this name
    }
}
