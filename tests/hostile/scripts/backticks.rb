puts `echo from a child`
puts %x(printf "%s" piped)
