#!/usr/bin/perl
# Makes a program's manual page in one language from its own --help and
# --version, so the page cannot fall behind the program.
#
#   make-manpage.pl LANG PROGRAM TABLE OUTPUT.gz INCLUDE...
#
# help2man writes the page. It reads --help through this script (called back
# as `make-manpage.pl --help-text LANG TABLE REPORT PROGRAM --help`), which puts
# each help item into LANG with help-text.txt. An item with no matching entry
# keeps the program's own words and is listed in OUTPUT.untranslated, which
# scripts/check-package.sh requires to be empty. The include files add what
# --help cannot hold; a section's first file decides its place.
use strict;
use warnings;
use utf8;
use Encode qw(decode encode);
use File::Basename qw(dirname);
use File::Path qw(make_path);
use File::Spec;

binmode STDOUT, ':encoding(UTF-8)';
binmode STDERR, ':encoding(UTF-8)';

# Section names as help2man and the include files give them (so that help2man
# puts them in their usual order), and what a Chinese page calls them.
my %ZH_HEADINGS = (
    'NAME' => '名称',
    'SYNOPSIS' => '概述',
    'DESCRIPTION' => '描述',
    'OPTIONS' => '选项',
    'EXIT STATUS' => '退出状态',
    'ERRORS' => '出错时',
    'FILES' => '文件',
    'EXAMPLES' => '示例',
    'SEE ALSO' => '另见',
);

sub Quote { my ($word) = @_; $word =~ s/'/'\\''/g; return "'$word'"; }

sub IsChinese { return $_[0] =~ /\p{Han}/; }

sub Squeeze { my ($text) = @_; $text =~ s/\s+//g; return $text; }

# Entries of the table: { key, zh, en }.
sub ReadTable
{
    my ($path) = @_;
    open my $in, '<:encoding(UTF-8)', $path or die "$path: $!\n";
    my @entries;
    while (my $line = <$in>) {
        chomp $line;
        next if $line =~ /^\s*(#|$)/;
        if ($line =~ /^\[(.+)\]$/) {
            push @entries, { key => $1 };
        } elsif ($line =~ /^(zh|en):\s*(.*)$/ && @entries) {
            $entries[-1]{$1} = $2;
        } else {
            die "$path:$.: not an entry line: $line\n";
        }
    }
    return @entries;
}

# The entry text as a pattern over squeezed text; {} is one varying word.
sub Pattern
{
    my ($text) = @_;
    my @parts = split /\{\}/, Squeeze($text), -1;
    my $pattern = join '(\S+?)', map { quotemeta } @parts;
    return qr/^$pattern$/;
}

sub Translate
{
    my ($lang, $entries, $untranslated, $key, $text) = @_;
    for my $entry (grep { $_->{key} eq $key } @$entries) {
        for my $source ('zh', 'en') {
            next unless defined $entry->{$source} && defined $entry->{$lang};
            my @words = Squeeze($text) =~ Pattern($entry->{$source}) or next;
            @words = () unless $entry->{$source} =~ /\{\}/;
            my $result = $entry->{$lang};
            $result =~ s/\{\}/shift @words/ge;
            return $result;
        }
    }
    my $already = $lang eq 'zh' ? IsChinese($text) : !IsChinese($text);
    push @$untranslated, "[$key] $text" unless $already;
    return $text;
}

# --help wraps long descriptions, at a space where it can; a broken line joins
# without one only between two Chinese characters.
sub Join
{
    my ($left, $right) = @_;
    return $right if $left eq '';
    my $cjk = qr/[\p{Han}\x{3000}-\x{303F}\x{FF00}-\x{FFEF}]/;
    my $space = ($left =~ /$cjk$/ && $right =~ /^$cjk/) ? '' : ' ';
    return "$left$space$right";
}

sub HelpText
{
    my ($lang, $table, $report, $program, @options) = @_;
    my $command = join ' ', map { Quote($_) } $program, @options;
    my $raw = decode('UTF-8', scalar `@{[encode('UTF-8', $command)]} 2>/dev/null`);
    if ("@options" ne '--help') {
        print $raw;
        return;
    }
    my @entries = ReadTable($table);
    my @untranslated;
    my @lines = split /\n/, $raw;
    # Qt prints its headings in English or, with its translation loaded, in
    # Chinese; help2man knows them in English.
    my $usage = shift @lines // '';
    if ($usage =~ /^(?:Usage:|用法：)\s*(\S+)\s*(.*)$/) {
        $usage = "Usage: $1 " . Translate($lang, \@entries, \@untranslated, 'usage', $2);
    }
    my $options = qr/^(?:Options:|选项：)$/;
    print "$usage\n";

    # The description, paragraph by paragraph, up to the options.
    my @paragraphs = ('');
    while (@lines && $lines[0] !~ $options) {
        my $line = shift @lines;
        if ($line =~ /^\s*$/) {
            push @paragraphs, '' if $paragraphs[-1] ne '';
        } else {
            $paragraphs[-1] = Join($paragraphs[-1], $line =~ s/^\s+|\s+$//gr);
        }
    }
    for my $paragraph (grep { $_ ne '' } @paragraphs) {
        print Translate($lang, \@entries, \@untranslated, 'description', $paragraph), "\n\n";
    }

    # One option a line, its description unwrapped.
    my @items;
    for my $line (@lines) {
        if ($line =~ $options) {
            next;
        } elsif ($line =~ /^  (-\S.*?)(?:  +(\S.*))?$/) {
            push @items, [$1, $2 // ''];
        } elsif ($line =~ /^\s+(\S.*)$/ && @items) {
            $items[-1][1] = Join($items[-1][1], $1 =~ s/\s+$//r);
        }
    }
    print "Options:\n";
    for my $item (@items) {
        my ($names, $text) = @$item;
        # Value names are Chinese in --help; an English page names them in English.
        (my $shown = $names) =~ s/(<[^>]+>)/Translate($lang, \@entries, \@untranslated, 'value', $1)/ge;
        print "  $shown  ", Translate($lang, \@entries, \@untranslated, $names, $text), "\n";
    }

    open my $out, '>:encoding(UTF-8)', $report or die "$report: $!\n";
    print $out map { "$_\n" } @untranslated;
    close $out or die "$report: $!\n";
}

sub Page
{
    my ($lang, $program, $table, $output, @includes) = @_;
    (my $page = $output) =~ s/\.gz$//;
    make_path(dirname($output));
    my $self = File::Spec->rel2abs($0);
    my $report = "$output.untranslated";
    my $reader = join ' ', map { Quote($_) } $^X, $self, '--help-text', $lang, $table, $report,
        $program;
    my @command = ('help2man', '--locale=C.UTF-8', '--no-info', '--section=1',
                   "--source=kestrune $ENV{KESTRUNE_VERSION}", (map { "--include=$_" } @includes),
                   "--output=$page");
    # --help and --version need no display.
    local $ENV{QT_QPA_PLATFORM} = 'offscreen';
    system(map { encode('UTF-8', $_) } @command, $reader) == 0
        or die "help2man failed for $program\n";

    if ($lang eq 'zh') {
        open my $in, '<:encoding(UTF-8)', $page or die "$page: $!\n";
        my @roff = <$in>;
        close $in;
        # groff breaks a line only at spaces unless told that Chinese text may
        # break between characters (as its zh.tmac does); the lines stay
        # ragged rather than stretched, and English words whole.
        splice @roff, 2, 0, <<'ROFF';
.if \n(.g \{\
.  class [CJKprepunct] , : ; > } \[u2026] \[u201D] \[u3001] \[u3002] \[u3009] \[u300B] \
\[u300D] \[u300F] \[u3011] \[uFF01] \[uFF09] \[uFF0C] \[uFF1A] \[uFF1B] \[uFF1F]
.  class [CJKpostpunct] \[u201C] \[u3008] \[u300A] \[u300C] \[u300E] \[u3010] \[uFF08]
.  class [CJKnormal] \[u4E00]-\[u9FFF]
.  cflags 128 \C'[CJKprepunct]'
.  cflags 266 \C'[CJKpostpunct]'
.  cflags 512 \C'[CJKnormal]'
.\}
.ad l
.nh
ROFF
        for (@roff) {
            s/^\.SH "?([^"]+?)"?$/'.SH ' . ($ZH_HEADINGS{$1} \/\/ $1)/e;
            # The date and the manual's name in Chinese; help2man would
            # encode a non-ASCII --manual twice.
            s/^(\.TH \S+ "1" )"(\w+) (\d+)" ("[^"]*") "User Commands"$/$1"$3年@{[MonthNumber($2)]}月" $4 "用户命令"/;
        }
        # A line break between two Chinese characters would print as a space.
        my $cjk = qr/[\p{Han}\x{3000}-\x{303F}\x{FF00}-\x{FFEF}]/;
        for (my $i = 0; $i < $#roff; ++$i) {
            next unless $roff[$i] =~ /^[^.'].*$cjk\n$/ && $roff[$i + 1] =~ /^$cjk/;
            chomp $roff[$i];
            $roff[$i] .= splice @roff, $i + 1, 1;
            redo;
        }
        open my $out, '>:encoding(UTF-8)', $page or die "$page: $!\n";
        print $out @roff;
        close $out or die "$page: $!\n";
    }
    unlink $output;
    system('gzip', '-9n', $page) == 0 or die "gzip failed for $page\n";
}

sub MonthNumber
{
    my %months;
    @months{qw(January February March April May June July August September October November
               December)} = (1 .. 12);
    return $months{$_[0]} // die "unknown month $_[0]\n";
}

@ARGV = map { decode('UTF-8', $_) } @ARGV;
if (@ARGV && $ARGV[0] eq '--help-text') {
    shift @ARGV;
    HelpText(@ARGV);
} elsif (@ARGV >= 5) {
    Page(@ARGV);
} else {
    die "usage: make-manpage.pl LANG PROGRAM TABLE OUTPUT.gz INCLUDE...\n";
}
