# fish completion for lazrine-cli: commands, kinds, options, export formats,
# file names, and the users `lazrine-cli users` lists for --user.

set -l commands users probe list undelete export scan

# The users of the Palm Desktop in use: each ID, and each name when it fits
# its column of the table (a longer name runs into the folder).
function __lazrine_cli_users
    set -l tokens (commandline -opc)
    set -l settings
    if set -l i (contains -i -- --settings $tokens)
        set settings --settings $tokens[(math $i + 1)]
    end
    for line in ($tokens[1] $settings users 2>/dev/null)
        string match -qr '^[0-9]+ +\S+ +\S' -- $line; or continue
        string match -r '^[0-9]+' -- $line
        set -l name (string sub -s 13 -l 24 -- $line)
        if string match -q '* ' -- $name
            string trim -r -- $name
        end
    end
end

# Whether the command line has its command and the kind, so that the next
# word is a file.
function __lazrine_cli_wants_file
    set -l tokens (commandline -opc)
    set -l words
    set -l skip 0
    for token in $tokens[2..-1]
        if test $skip = 1
            set skip 0
        else if contains -- $token --settings --user --id --format --output
            set skip 1
        else if not string match -q -- '-*' $token
            set -a words $token
        end
    end
    test (count $words) -eq 2; and test $words[1] != users
end

complete -c lazrine-cli -f
complete -c lazrine-cli -n "not __fish_seen_subcommand_from $commands" -l settings -r -F -d 'Settings file naming the Palm Desktop folder'
complete -c lazrine-cli -n "not __fish_seen_subcommand_from $commands" -l version -d 'Print the version and exit'
complete -c lazrine-cli -l help -d 'Print the usage and exit'
complete -c lazrine-cli -n "not __fish_seen_subcommand_from $commands" -a users -d 'List the Palm Desktop users and their data folders'
complete -c lazrine-cli -n "not __fish_seen_subcommand_from $commands" -a probe -d 'Tell which store generation reads a file'
complete -c lazrine-cli -n "not __fish_seen_subcommand_from $commands" -a list -d 'List deleted (or all) records'
complete -c lazrine-cli -n "not __fish_seen_subcommand_from $commands" -a undelete -d 'Undelete records and save'
complete -c lazrine-cli -n "not __fish_seen_subcommand_from $commands" -a export -d 'Export records to a standard format'
complete -c lazrine-cli -n "not __fish_seen_subcommand_from $commands" -a scan -d 'Find records only other copies hold'

set -l with_kind probe list undelete export scan
complete -c lazrine-cli -n "__fish_seen_subcommand_from $with_kind; and not __fish_seen_subcommand_from contacts calendar tasks memos" -a 'contacts calendar tasks memos' -d Kind
complete -c lazrine-cli -n "__fish_seen_subcommand_from $with_kind; and __lazrine_cli_wants_file" -F
complete -c lazrine-cli -n "__fish_seen_subcommand_from $with_kind" -l user -x -a '(__lazrine_cli_users)' -d 'Palm Desktop user (name or ID)'
complete -c lazrine-cli -n "__fish_seen_subcommand_from list export" -l all -d 'Every record, not only the deleted ones'
complete -c lazrine-cli -n "__fish_seen_subcommand_from list scan" -l json -d 'Print one JSON object'
complete -c lazrine-cli -n "__fish_seen_subcommand_from undelete export" -l id -x -d 'Record id (repeatable)'
complete -c lazrine-cli -n "__fish_seen_subcommand_from undelete" -l all-deleted -d 'Undelete every deleted record'
complete -c lazrine-cli -n "__fish_seen_subcommand_from undelete" -l dry-run -d 'List what would be undeleted; write nothing'
complete -c lazrine-cli -n "__fish_seen_subcommand_from export" -l deleted -d 'Export the deleted records (the default)'
complete -c lazrine-cli -n "__fish_seen_subcommand_from export" -l format -x -a 'vcard ics text csv json' -d 'Export format'
complete -c lazrine-cli -n "__fish_seen_subcommand_from export" -l output -r -F -d 'File to write (- for standard output, DIR/ for memo files)'
