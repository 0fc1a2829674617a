#pragma once
// The names of the product record's fields, as the server table `product` calls its
// columns, and the calculated out-price `utpris`: the one place they are spelled. The
// table, the windows' bound controls, the export and the tests' product set all use them.

#include <QLatin1String>

namespace productfield {
inline constexpr QLatin1String id{"id"};
inline constexpr QLatin1String created{"created"};
inline constexpr QLatin1String user_created{"user_created"};
inline constexpr QLatin1String updated{"updated"};
inline constexpr QLatin1String rec_lock{"rec_lock"};
inline constexpr QLatin1String rwx_spesial{"rwx_spesial"};
inline constexpr QLatin1String rwx_user{"rwx_user"};
inline constexpr QLatin1String rwx_group{"rwx_group"};
inline constexpr QLatin1String rwx_all{"rwx_all"};
inline constexpr QLatin1String user{"user"};
inline constexpr QLatin1String usergroup{"usergroup"};
inline constexpr QLatin1String checked{"checked"};
inline constexpr QLatin1String user_favorite{"user_favorite"};
inline constexpr QLatin1String picture{"picture"};
inline constexpr QLatin1String object_url{"object_url"};
inline constexpr QLatin1String object_name{"object_name"};
inline constexpr QLatin1String object_tag{"object_tag"};
inline constexpr QLatin1String object_text{"object_text"};
inline constexpr QLatin1String usertag{"usertag"};
inline constexpr QLatin1String productcode{"productcode"};
inline constexpr QLatin1String recalc_id{"recalc_id"};
inline constexpr QLatin1String recalc_number{"recalc_number"};
inline constexpr QLatin1String EAN{"EAN"};
inline constexpr QLatin1String producttext{"producttext"};
inline constexpr QLatin1String internaltext{"internaltext"};
inline constexpr QLatin1String piece{"piece"};
inline constexpr QLatin1String productgroup{"productgroup"};
inline constexpr QLatin1String lastpriceupdate{"lastpriceupdate"};
inline constexpr QLatin1String cost{"cost"};
inline constexpr QLatin1String currency{"currency"};
inline constexpr QLatin1String currencycost{"currencycost"};
inline constexpr QLatin1String price{"price"};
inline constexpr QLatin1String vatcode{"vatcode"};
inline constexpr QLatin1String freight{"freight"};
inline constexpr QLatin1String addpercent{"addpercent"};
inline constexpr QLatin1String addsum{"addsum"};
inline constexpr QLatin1String value{"value"};
inline constexpr QLatin1String ownproduction{"ownproduction"};
inline constexpr QLatin1String internalwork{"internalwork"};
inline constexpr QLatin1String firstsale{"firstsale"};
inline constexpr QLatin1String lastsale{"lastsale"};
inline constexpr QLatin1String lastorder{"lastorder"};
inline constexpr QLatin1String instock{"instock"};
inline constexpr QLatin1String insale{"insale"};
inline constexpr QLatin1String inorder{"inorder"};
inline constexpr QLatin1String vendor{"vendor"};
inline constexpr QLatin1String vendorid{"vendorid"};
inline constexpr QLatin1String vendor2{"vendor2"};
inline constexpr QLatin1String vendorid2{"vendorid2"};
inline constexpr QLatin1String maxstock{"maxstock"};
inline constexpr QLatin1String minstock{"minstock"};
inline constexpr QLatin1String drawing{"drawing"};
inline constexpr QLatin1String folder{"folder"};
inline constexpr QLatin1String weight{"weight"};
inline constexpr QLatin1String height{"height"};
inline constexpr QLatin1String width{"width"};
inline constexpr QLatin1String deepth{"deepth"};
inline constexpr QLatin1String volume{"volume"};
inline constexpr QLatin1String standard{"standard"};
inline constexpr QLatin1String sale{"sale"};
inline constexpr QLatin1String web{"web"};
inline constexpr QLatin1String warranty{"warranty"};
inline constexpr QLatin1String requirement{"requirement"};
inline constexpr QLatin1String persons{"persons"};
inline constexpr QLatin1String discount{"discount"};
inline constexpr QLatin1String direct_cost{"direct_cost"};
inline constexpr QLatin1String real_cost{"real_cost"};
inline constexpr QLatin1String location{"location"};
inline constexpr QLatin1String locationpos{"locationpos"};
inline constexpr QLatin1String inrecentstock{"inrecentstock"};
inline constexpr QLatin1String inrecentstockdate{"inrecentstockdate"};
inline constexpr QLatin1String utpris{"utpris"};
} // namespace productfield
