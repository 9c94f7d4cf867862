#pragma once

#include <array>
#include <cstdint>

namespace quorvane::testing {

// One section of a recorded run: its length in bytes and its 64-bit FNV-1a digest.
struct SectionDigest {
  std::uint64_t length;
  std::uint64_t fnv1a;
};

// A fixed-seed whole run on made_up_responses(participants, items, responses_seed) and the
// digests of its eight report sections, in file order 1 to 8.
struct DigestedRun {
  int group_size;
  int participants;
  int items;
  unsigned responses_seed;
  std::uint32_t seed;
  std::array<SectionDigest, 8> sections;
};

// Recorded from the computation as it stood at commit b40660a, before any of it was made faster:
// run `quorvane_tests --gtest_filter='WholeRunDigests.*'` with a row's sections zeroed and the test
// prints the row as the current code writes it.
// clang-format off
inline constexpr DigestedRun kDigestedRuns[] = {
    {2, 100, 100, 1001, 1765084800u,
     {{{1347u, 0xc5dcdf82088b5e83ull},
       {468496u, 0xfbc45a6eb26f96aaull},
       {1070708u, 0x373c99628cf0db6dull},
       {854u, 0x2149343b91b3bc24ull},
       {676318u, 0x0927d0a8568bb443ull},
       {856u, 0xe75eb7223aedaeecull},
       {110u, 0xa105382d16280542ull},
       {117u, 0xc69a4af741c88c0aull}}}},
    {2, 109, 64, 1002, 20251207u,
     {{{949u, 0xd5f9a7d76a49d153ull},
       {459554u, 0xbd908d69c9b60639ull},
       {1055807u, 0xb6d8a00c07674c64ull},
       {923u, 0xd303de566f06b7baull},
       {668399u, 0x86961d1a46c73b98ull},
       {925u, 0x5b916c2350eca74dull},
       {108u, 0x18d4f4ebd18dc61cull},
       {115u, 0x5e282dd45650aa9cull}}}},
    {3, 99, 100, 1003, 1765084801u,
     {{{1348u, 0xe57f34933be307ceull},
       {466108u, 0xf5bec6d161f0303eull},
       {1069327u, 0xb74f1ae40d185187ull},
       {631u, 0x0d049cb47eb6618eull},
       {676285u, 0x589d5d8beb68d4d1ull},
       {633u, 0x1cb0a34b34e30a75ull},
       {110u, 0x3f855d7cae5ebf8eull},
       {116u, 0x269950eebfbe97e4ull}}}},
    {3, 100, 65, 1004, 7u,
     {{{961u, 0xd1dae63d1dbd51a8ull},
       {458495u, 0xe6e056e1cc276428ull},
       {1058286u, 0x0d33a2116fa90316ull},
       {632u, 0x1828499ae083db13ull},
       {676374u, 0x89854be39b5a6abeull},
       {634u, 0x774a7eff5c50156dull},
       {108u, 0x1deaed90b935c48bull},
       {115u, 0xb3240aa77f8810e3ull}}}},
    {4, 100, 100, 1005, 1765084802u,
     {{{1346u, 0xabe6dc579c28e4d9ull},
       {458837u, 0x25f0740dc5f6e768ull},
       {1050754u, 0x70014277bcb8c289ull},
       {576u, 0xffdc35f06ba01158ull},
       {672206u, 0xcee13c24ae2a74b7ull},
       {578u, 0xf89a1a5a188e389cull},
       {108u, 0x7a6d706a6f535275ull},
       {115u, 0x3857e26b974ec71aull}}}},
    {4, 103, 109, 1006, 4000000000u,
     {{{1455u, 0xbfb2a3eab75df3e0ull},
       {465966u, 0x9ba1e1b930faa29bull},
       {1070415u, 0xd95f7c0674f7d5f9ull},
       {593u, 0x19b54c3274f1761dull},
       {675458u, 0x840784f24c142a7dull},
       {598u, 0x7962a78c86d33418ull},
       {110u, 0x2b931af43a79c542ull},
       {117u, 0xd04ad5f6563d6f76ull}}}},
};
// clang-format on

}  // namespace quorvane::testing
